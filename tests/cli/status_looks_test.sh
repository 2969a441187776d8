#!/usr/bin/env bash
# Asking a printer's status changes nothing on it, and what a printer or a scheduler says is
# data: escaped on a terminal, valid JSON for any bytes. Every run has a bound.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
socat_pid=""
trap '[[ -n $socat_pid ]] && kill "$socat_pid"; rm -rf "$work"' EXIT

# A regular file standing for a printer, holding another program's job.
printf 'an earlier job\r\n' >"$work/cap.before"
cp "$work/cap.before" "$work/cap.prn"
# A serial line another program has set up: one end of a pty pair, raw at 38400 baud.
socat pty,raw,echo=0,link="$work/tty-printer" pty,raw,echo=0,link="$work/tty-host" 2>/dev/null &
socat_pid=$!
for _ in {1..50}; do [[ -e $work/tty-host ]] && break; sleep 0.1; done
line_settings() { stty -F "$work/tty-host" -g; }
settings=$(line_settings) || fail "no pty"
printf 'Cap file:%s\nLine serial:%s?baud=9600\n' "$work/cap.prn" "$work/tty-host" >"$work/printers.conf"
export RAWLET_PRINTERS=$work/printers.conf

within 20 status
within 10 status -d Cap
within 10 status -d Line
check_eq "a line answers a look" "$status:$(facts)" "0:Line: ready, state unknown, accepting jobs"
cmp -s "$work/cap.before" "$work/cap.prn" || fail "status changed the file: $(od -c "$work/cap.prn")"
check_eq "status leaves the line's settings" "$(line_settings)" "$settings"

# A probe writes its query and nothing else: the file keeps its bytes, the query after them.
within 10 status -d Cap --probe escpos
cmp -s -n "$(stat -c %s "$work/cap.before")" "$work/cap.before" "$work/cap.prn" \
  || fail "a probe changed the file: $(od -c "$work/cap.prn")"
(( $(stat -c %s "$work/cap.prn") > $(stat -c %s "$work/cap.before") )) || fail "the probe wrote nothing"
timeout 10 head -c 2 "$work/tty-printer" >"$work/query" &
reader=$!
within 10 status -d Line --probe escpos
wait "$reader" || fail "the line's printer got no query"
check_eq "query on the line" "$(od -An -tx1 "$work/query" | tr -d ' ')" "1004"
check_eq "a probe leaves the line's settings" "$(line_settings)" "$settings"

# A probe goes to one named printer only.
within 10 status --probe escpos
check_eq "probe without a printer" "$status:$(head -1 "$work/err")" \
  "2:rawlet: --probe asks one printer in its own language: name it with -d PRINTER"

# A queue whose reason would retitle and recolour the terminal, with a byte that is not UTF-8
# beside a letter that is.
new_queue hostile
reason=$'\e]0;owned\a\e[31mcafé\xff'
cupsdisable -r "$reason" hostile
within 20 status -d hostile
check_eq "escaped reason" "$(facts)" \
  'hostile: not ready, stopped (paused), accepting jobs, 0 jobs waiting: \x1b]0;owned\x07\x1b[31mcafé\xff'
within 20 status -d hostile --json
python3 -c 'import json, sys
[queue] = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert queue["message"] == "\x1b]0;owned\x07\x1b[31mcafé\ufffd", queue' "$work/out" \
  || fail "JSON of the reason: $(od -c "$work/out")"
# The same reason when a job waits on that queue: the failure line shows it escaped too.
printf 'receipt' >"$work/receipt.txt"
within 30 print --wait -d hostile "$work/receipt.txt"
check_eq "waiting on the hostile queue: status" "$status" 1
grep -qF 'printer stopped: \x1b]0;owned\x07\x1b[31mcafé\xff' "$work/err" || fail "failure line: $(od -c "$work/err")"
! grep -q $'\e' "$work/err" || fail "an escape reached the terminal: $(od -c "$work/err")"
printf '%s file:%s\n' "Ev${reason}il" "$work/cap.prn" >"$work/printers.conf"
within 20 printers --long
check_eq "escaped name" "$(grep -F ' direct ' "$work/out" | tr -s ' ')" \
  'Ev\x1b]0;owned\x07\x1b[31mcafé\xffil direct file:'"$work/cap.prn"

(( failures == 0 )) && echo "all status look checks passed"
exit $(( failures > 0 ))
