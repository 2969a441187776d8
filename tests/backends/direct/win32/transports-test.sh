#!/usr/bin/env bash
# Runs the Windows transports' test program under Wine against loopback printers on the host
# (scripts/lib/fake-printer, one folder per mode), a port nothing listens on, and COM7 and
# COM8, which the prefix maps to one end of socat pseudo-terminal pairs: what reaches the
# other end of COM7's is stored, COM8's is never read. Then checks that COM7 was set up as
# the test asked.
#
#   transports-test.sh x86|x64 PATH/rawlet_transports_test.exe
set -euo pipefail
source "$(dirname "$0")/../../../lib/wine.sh"
wine_setup "$1"
command -v socat >/dev/null || fail "socat is needed"
cp "$2" "$WORK/transports_test.exe"

printers=$WORK/printers
modes=(normal slow:32768 slow:2048 stall refuse escpos:paper-end)
SOCAT_PIDS=()
# The status the script ends with is handed on to wine_cleanup, which exits with it: without
# it a failing test program would end the script as passed.
stop_printers() {
  local status=$?
  for mode in "${modes[@]}"; do "$SCRIPTS/lib/fake-printer" stop "$printers/${mode//:/_}"; done
  kill "${SOCAT_PIDS[@]}" ${READER_PID:-} 2>/dev/null || true
  wine_cleanup "$status"
}
trap stop_printers EXIT
for mode in "${modes[@]}"; do
  "$SCRIPTS/lib/fake-printer" start "$mode" "$printers/${mode//:/_}" >/dev/null
done
mkdir -p "$printers/closed"
python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1], end="")' \
  >"$printers/closed/port"

# COMn as one end of a pseudo-terminal pair whose other end is $WORK/farN.
serial_line() {
  local n=$1
  socat pty,raw,echo=0,link="$WORK/com$n" pty,raw,echo=0,link="$WORK/far$n" 2>"$WORK/socat$n.log" &
  SOCAT_PIDS+=($!)
  for _ in $(seq 100); do [[ -e $WORK/far$n ]] && break; sleep 0.05; done
  [[ -e $WORK/far$n ]] || fail "socat made no pseudo-terminal: $(cat "$WORK/socat$n.log")"
  ln -sfn "$(readlink -f "$WORK/com$n")" "$WINEPREFIX/dosdevices/com$n"
}
serial_line 7
serial_line 8
cat "$WORK/far7" >"$printers/serial.bin" 2>/dev/null &
READER_PID=$!

RAWLET_TEST_PRINTERS=$(winpath "$printers") LC_ALL=en_US.UTF-8 \
  "$WINE" "$(winpath "$WORK/transports_test.exe")" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
[[ $status -eq 0 ]] || fail "the test program ended with status $status"

# The speed and flow asked; a pseudo-terminal keeps 8 bits without parity whatever it is
# asked, so the test asks for none.
settings=$(stty -F "$(readlink -f "$WORK/com7")" -a)
for want in 19200 ixon ixoff; do
  grep -qw -- "$want" <<<"$settings" || fail "COM7 is not set up with $want: $settings"
done
echo "PASS"
