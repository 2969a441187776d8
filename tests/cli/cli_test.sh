#!/usr/bin/env bash
# The rawlet command against the private scheduler: what reaches the device, exit statuses,
# and the texts on standard error.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
device_job() { cat "$RAWLET_SANDBOX/devices/$1/job-$2.bin"; }
wait_jobs() { "$sandbox" wait "$RAWLET_SANDBOX" "$1" "$2" 60 || fail "queue $1 did not receive $2 jobs"; }

new_queue cli-print
new_queue Cli-Second

# The printer list shows the queues as the scheduler spells them.
run printers
check_eq "printers status" "$status" 0
grep -qx 'cli-print' "$work/out" || fail "printers does not list cli-print"
grep -qx 'Cli-Second' "$work/out" || fail "printers does not list Cli-Second"

# A file, byte for byte, every byte value included; the name is matched without regard to case.
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 3)' >"$work/bytes.bin"
run print -d CLI-PRINT "$work/bytes.bin"
check_eq "print status" "$status" 0
wait_jobs cli-print 1
cmp -s "$work/bytes.bin" <(device_job cli-print 1) || fail "file bytes changed on the way"

# Standard input, two files in one job, translation on.
printf 'from stdin\r\n' | "$rawlet" print -d cli-print || fail "stdin print failed"
wait_jobs cli-print 2
check_eq "stdin job" "$(device_job cli-print 2)" $'from stdin\r'
printf 'caf\xe9 ' >"$work/a.txt"
printf 'cr\xe8me' >"$work/b.txt"
RAWLET_ANSI_CODEPAGE=1252 RAWLET_OEM_CODEPAGE=437 "$rawlet" print -d cli-print --translate "$work/a.txt" "$work/b.txt" \
  || fail "translated print failed"
wait_jobs cli-print 3
check_eq "translated job" "$(device_job cli-print 3 | od -An -tx1 | tr -d ' \n')" "636166822063728a6d65"

# --wait reports a printed job as done, and a job the device cut off as failed.
run print --wait -d Cli-Second "$work/a.txt"
check_eq "wait on a good job" "$status" 0
new_queue cli-drop
echo "drop:1000" >"$RAWLET_SANDBOX/devices/cli-drop/mode"
head -c 8000000 /dev/urandom >"$work/big.bin"
run print --wait -d cli-drop "$work/big.bin"
check_eq "wait on a dropped job" "$status" 1
grep -q '^rawlet: job cli-drop-[0-9]* did not print: job aborted' "$work/err" || fail "dropped job not reported: $(cat "$work/err")"

# --wait on a queue stopped for paper: the job did not print, and it is cancelled, so it does
# not print later, when the queue runs again and the user has printed it anew.
new_queue cli-paper
cupsdisable -r "out of paper" cli-paper
within 30 print --wait -d cli-paper "$work/a.txt"
check_eq "wait on a stopped queue" "$status" 1
grep -q 'did not print: printer stopped: out of paper; it was cancelled and will not print' "$work/err" \
  || fail "stopped queue: $(cat "$work/err")"
cupsenable cli-paper
sleep 3
check_eq "jobs printed once the queue ran again" "$("$sandbox" jobs "$RAWLET_SANDBOX" cli-paper | wc -l)" 0

# Errors: the control's numbered errors, usage errors, unreadable files (nothing printed).
run print -d No-Such-Printer "$work/a.txt"
check_eq "unknown printer status" "$status" 1
check_eq "unknown printer text" "$(cat "$work/err")" "rawlet: error 32000 (Rawleter): The printer name is not valid"
run print -d cli-print "$work/a.txt" "$work/missing.txt"
check_eq "missing file status" "$status" 1
grep -q "cannot open $work/missing.txt" "$work/err" || fail "missing file not named"
run print "$work/a.txt"
check_eq "no printer status" "$status" 2
run frobnicate
check_eq "unknown command status" "$status" 2
run print -d cli-print --bogus
check_eq "unknown option status" "$status" 2
RAWLET_ANSI_CODEPAGE=9999 "$rawlet" print -d cli-print "$work/a.txt" 2>"$work/err"
check_eq "unsupported code page status" "$?" 1
# A queue that rejects jobs refuses the job at its start, with the scheduler's reason.
new_queue cli-reject
cupsreject -r "closed for the night" cli-reject
run print -d cli-reject "$work/a.txt"
check_eq "rejecting queue status" "$status" 1
check_eq "rejecting queue text" "$(head -1 "$work/err")" "rawlet: error 32036 (Rawleter): Error occur while open the printer queue"
grep -q 'cli-reject: the queue does not accept jobs: closed for the night' "$work/err" \
  || fail "rejecting queue reason: $(cat "$work/err")"

# A command killed mid-job leaves no job behind: the scheduler makes none of a document
# whose end never came, so nothing prints, then or later.
new_queue cli-killed
mkfifo "$work/unfinished"
"$rawlet" print -d cli-killed <"$work/unfinished" &
killed=$!
exec 3>"$work/unfinished"
printf 'first half\r\n' >&3
sleep 1
kill -KILL "$killed"
wait "$killed" 2>/dev/null
exec 3>&-
sleep 2
check_eq "jobs left by a killed print" "$(lpstat -o cli-killed | wc -l)" 0
check_eq "device jobs after a killed print" "$("$sandbox" jobs "$RAWLET_SANDBOX" cli-killed | wc -l)" 0

# Input that cannot be read after the document opened (a directory) fails the command and
# the job is canceled, not printed: the next job is the first the device receives.
new_queue cli-abandon
mkdir -p "$work/a-directory"
run print -d cli-abandon "$work/a.txt" "$work/a-directory"
check_eq "unreadable input status" "$status" 1
grep -q "cannot read $work/a-directory" "$work/err" || fail "unreadable input not named: $(cat "$work/err")"
printf 'after' | "$rawlet" print -d cli-abandon || fail "print after an abandoned job failed"
wait_jobs cli-abandon 1
check_eq "job after the abandoned one" "$(device_job cli-abandon 1)" "after"

# No scheduler at all: the control's error, and a line that says whom the command tried.
CUPS_SERVER=$work/no-scheduler.sock run printers
check_eq "printers without a scheduler status" "$status" 1
check_eq "printers without a scheduler text" "$(cat "$work/err")" \
  "rawlet: no print scheduler answers at $work/no-scheduler.sock (No such file or directory)"
CUPS_SERVER=$work/no-scheduler.sock run print -d cli-print "$work/a.txt"
check_eq "print without a scheduler status" "$status" 1
check_eq "print without a scheduler text" "$(cat "$work/err")" \
  "rawlet: error 32000 (Rawleter): The printer name is not valid
rawlet: no print scheduler answers at $work/no-scheduler.sock (No such file or directory)"

# reset sends ESC @ and nothing else.
run reset -d Cli-Second
check_eq "reset status" "$status" 0
wait_jobs Cli-Second 2
check_eq "reset job" "$(device_job Cli-Second 2 | od -An -tx1 | tr -d ' \n')" "1b40"

# About and version.
run about
grep -qx 'About    Rawlet' "$work/out" || fail "about caption missing"
grep -qx 'Version 2.0.1' "$work/out" || fail "about version line missing"
run --version
check_eq "version" "$(cat "$work/out")" "rawlet 2.0.0.1"

# 100 MiB streams through without the process growing past 32 MiB.
new_queue cli-large
head -c $((100 * 1024 * 1024)) /dev/urandom >"$work/large.bin"
/usr/bin/time -f '%M' -o "$work/rss" "$rawlet" print -d cli-large "$work/large.bin" || fail "large print failed"
wait_jobs cli-large 1
cmp -s "$work/large.bin" "$RAWLET_SANDBOX/devices/cli-large/job-1.bin" || fail "large job corrupted"
peak_kib=$(cat "$work/rss")
if [[ ${RAWLET_SANITIZED:-0} == 1 ]]; then
  echo "sanitized build: resident size not bounded"
else
  (( peak_kib < 32 * 1024 )) || fail "peak resident size ${peak_kib} KiB is over 32 MiB"
fi
echo "100 MiB job: peak resident size ${peak_kib} KiB"

(( failures == 0 )) && echo "all CLI checks passed"
exit $(( failures > 0 ))
