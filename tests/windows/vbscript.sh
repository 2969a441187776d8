#!/usr/bin/env bash
# VBScript clients of Rawlet.ocx under Wine's cscript, printing through Wine's winspool
# into a private CUPS scheduler whose raw queues capture every job: the checks inside
# the scripts compare values and Err objects, this script compares the bytes each
# printer received.
#
#   vbscript.sh x86|x64 PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
here=$(cd "$(dirname "$0")" && pwd)
wine_setup "$1"
cp "$2" "$WORK/Rawlet.ocx"

queues=(bytes translate twowrites enddoc kill startdoc endpage rename release shared1 shared2 jobnames docname
        errors)
CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" "${queues[@]}" | tail -1)"

sys regsvr32.exe /s "$(winpath "$WORK/Rawlet.ocx")" || fail "regsvr32 failed"

# Wine's VBScript has no ExecuteGlobal, so each client is run with the helpers in front.
run_client() {
  local script=$1 output status=0
  cat "$here/vbscript/check.vbs" "$here/vbscript/$script" >"$WORK/$script"
  output=$(sys cscript.exe //nologo "$(winpath "$WORK/$script")" 2>&1) || status=$?
  printf '%s\n' "$output" | tr -d '\r' | sed "s/^/$script: /"
  [[ $status -eq 0 ]] || fail "$script ended with status $status"
  printf '%s\n' "$output" | tr -d '\r' | grep -qx done || fail "$script did not finish"
}
run_client printing.vbs
run_client errors.vbs


# The document names of QUEUE's jobs, in order, as the scheduler's page log records them
# once each job has completed.
expect_names() {
  local queue=$1; shift
  local want names
  want=$(printf '%s\n' "$@")
  for _ in $(seq 600); do
    names=$(awk -v queue="$queue" '$1 == queue' "$CUPS_DIR/log/page_log" 2>/dev/null |
            sed 's/^.* total [0-9]* [^ ]* [^ ]* //; s/ [^ ]* [^ ]*$//')
    [[ $(grep -c . <<<"$names") -ge $# ]] && break
    sleep 0.1
  done
  [[ $names == "$want" ]] || fail "$queue: document names are '$names', expected '$want'"
  echo "ok   $queue: document names as expected"
}

all=$(for i in $(seq 0 255); do printf '%02x' "$i"; done)
expect bytes "$all"
expect translate "82008241e9"               # é NUL é A translated, then é untranslated
expect twowrites "$(text ABCD)"
expect enddoc "$(text text)0d" "$(text next)"
expect kill "$(text abc)1b40"
expect startdoc "$(text ab)"
expect endpage "$(text p1p2)"
expect rename "$(text x)" "$(text yz)"
expect release "$(text r)"
expect shared1 "$(text 1)"
expect shared2 "$(text 23)"
expect jobnames "$(text ab)" "$(text c)"
expect_names jobnames "Invoice 7" "Later name"
expect docname
expect errors
echo "PASS"
