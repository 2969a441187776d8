#!/usr/bin/env bash
# Runs the container test program under Wine on a private Xvfb screen (the ATL host makes
# windows), with the control registered (the host creates it by ProgID) and a private CUPS
# scheduler, then checks what each printer received.
#
#   container-test.sh x86|x64 PATH/rawlet_container_test.exe PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/wine-lib.sh"
wine_setup "$1"
cp "$2" "$WORK/rawlet_container_test.exe"
cp "$3" "$WORK/Rawlet.ocx"
command -v Xvfb >/dev/null || fail "Xvfb is needed"

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" cload ctranslate cnotify crelease catl | tail -1)"
export RAWLET_TEST_DEVICES WINEDLLOVERRIDES=winemenubuilder.exe=d
RAWLET_TEST_DEVICES=$(winpath "$CUPS_DIR/devices")

xvfb_pid=
container_cleanup() {
  local status=$?
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  (exit $status)
  wine_cleanup
}
trap container_cleanup EXIT
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $WORK/display ]] && break; sleep 0.1; done
[[ -s $WORK/display ]] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
export DISPLAY=:$(cat "$WORK/display")

sys regsvr32.exe /s "$(winpath "$WORK/Rawlet.ocx")" || fail "regsvr32 failed"
# Into a file, not a pipe: the prefix's desktop process would hold a pipe open.
status=0
LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$WORK/rawlet_container_test.exe")" "$(winpath "$WORK/Rawlet.ocx")" \
  >"$WORK/test.log" 2>&1 || status=$?
tr -d '\r' <"$WORK/test.log"
[[ $status -eq 0 ]] || fail "the test program ended with status $status"

hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
text() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
# QUEUE's printer must have received exactly the given jobs (hex), in order.
expect() {
  local queue=$1; shift
  local submitted
  submitted=$(lpstat -W all -o "$queue" | grep -c . || true)
  [[ $submitted -eq $# ]] || fail "$queue: $submitted job(s) reached the scheduler, expected $#"
  (( $# == 0 )) && { echo "ok   $queue: no job"; return; }
  "$SCRIPTS/cups-sandbox" wait "$CUPS_DIR" "$queue" $# 60
  local n=1 want got
  for want in "$@"; do
    got=$(hex "$CUPS_DIR/devices/$queue/job-$n.bin")
    [[ $got == "$want" ]] || fail "$queue job $n: got $got, expected $want"
    n=$((n + 1))
  done
  echo "ok   $queue: $# job(s), bytes as expected"
}
expect cload                                  # loading never prints the saved text
expect ctranslate "8241"                      # é A, translated as the loaded setting asked
expect cnotify "$(text n)"
expect crelease "$(text released)"
expect catl "$(text 'printed from the ATL host')"
echo "PASS"
