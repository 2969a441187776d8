#!/usr/bin/env bash
# rawlet.exe under Wine on direct printers given by their URI: a loopback AppSocket printer
# on the host, one that answers as a receipt printer out of paper, one that never reads (the
# command is interrupted by Ctrl-C, which Wine makes of SIGINT), and COM7, which the prefix
# maps to a socat pseudo-terminal whose far end is stored.
#
#   command-direct.sh x86|x64 PATH/rawlet.exe
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1"
command -v socat >/dev/null || fail "socat is needed"
cp "$2" "$WORK/rawlet.exe"

stop_all() {
  local status=$?
  "$SCRIPTS/lib/fake-printer" stop "$WORK/good" "$WORK/paper-end" "$WORK/stall"
  [[ -n ${SOCAT_PID:-} ]] && kill "$SOCAT_PID" 2>/dev/null || true
  wine_cleanup "$status"
}
trap stop_all EXIT
good=$("$SCRIPTS/lib/fake-printer" start normal "$WORK/good")
paper_end=$("$SCRIPTS/lib/fake-printer" start escpos:paper-end "$WORK/paper-end")
stall=$("$SCRIPTS/lib/fake-printer" start stall "$WORK/stall")
rawlet() { LC_ALL=en_US.UTF-8 timeout 60 "$WINE" "$(winpath "$WORK/rawlet.exe")" "$@" 2>&1 | tr -d '\r'; }
run() { status=0; output=$(rawlet "$@") || status=$?; }

for i in $(seq 0 255); do printf "\\x$(printf %02x "$i")"; done >"$WORK/receipt.bin"
run print --wait -d "socket://127.0.0.1:$good?timeout=5" "$(winpath "$WORK/receipt.bin")"
[[ $status -eq 0 && $output == *": delivered; the printer does not tell when it has printed" ]] ||
  fail "print --wait exited with $status: $output"
[[ $(hex "$WORK/good/job-1.bin") == "$(hex "$WORK/receipt.bin")" ]] || fail "the socket printer's bytes differ"
echo "ok   socket://: every byte value, delivered"

run status -d "socket://127.0.0.1:$paper_end?status=escpos"
[[ $status -eq 1 && $output == *"not ready"*media-empty-error* ]] || fail "status exited with $status: $output"
echo "ok   status: a receipt printer out of paper is not ready, media-empty-error"

# Ctrl-C ends the job within its bound, saying what the printer had, with 128 + SIGINT.
head -c 4000000 /dev/zero >"$WORK/big.bin"
LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$WORK/rawlet.exe")" print -d "socket://127.0.0.1:$stall?timeout=30" \
  "$(winpath "$WORK/big.bin")" 2>"$WORK/interrupted.err" &
command=$!
# Once bytes wait unread on the connection, the job is under way and its handler installed.
for _ in $(seq 300); do
  [[ $(ss -Htn state established "( dport = :$stall )" | awk '{s += $2} END {print s + 0}') -gt 0 ]] && break
  sleep 0.1
done
kill -INT "$command"
interrupted=$(date +%s)
status=0
wait "$command" || status=$?
(($(date +%s) - interrupted <= 5)) || fail "the interrupted command took $(($(date +%s) - interrupted)) s to end"
[[ $status -eq 130 ]] || fail "the interrupted command exited with $status: $(cat "$WORK/interrupted.err")"
grep -q "^rawlet: socket://127.0.0.1:$stall?timeout=30: interrupted" "$WORK/interrupted.err" ||
  fail "the interrupted command said: $(cat "$WORK/interrupted.err")"
echo "ok   Ctrl-C: the job ends at once, interrupted"

socat pty,raw,echo=0,link="$WORK/com7" pty,raw,echo=0,link="$WORK/far" 2>"$WORK/socat.log" &
SOCAT_PID=$!
for _ in $(seq 100); do [[ -e $WORK/far ]] && break; sleep 0.05; done
[[ -e $WORK/far ]] || fail "socat made no pseudo-terminal: $(cat "$WORK/socat.log")"
stty -F "$WORK/far" raw -echo
timeout 60 head -c 256 "$WORK/far" >"$WORK/serial.bin" &
reader=$!
ln -sfn "$(readlink -f "$WORK/com7")" "$WINEPREFIX/dosdevices/com7"
run print -d "serial:COM7?baud=9600" "$(winpath "$WORK/receipt.bin")"
[[ $status -eq 0 ]] || fail "print to COM7 exited with $status: $output"
wait "$reader" || fail "the serial line's far end did not get every byte"
[[ $(hex "$WORK/serial.bin") == "$(hex "$WORK/receipt.bin")" ]] || fail "the serial line's bytes differ"
echo "ok   serial:COM7: every byte value"
echo "PASS"
