#!/usr/bin/env bash
# The rawlet command as a user meets it around the bytes: printer status, progress on a
# terminal, interruption, empty input and overlong titles, against the private scheduler.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
device_jobs() { "$sandbox" jobs "$RAWLET_SANDBOX" "$1" | grep -c .; }

# One attribute of every job of a queue, as the scheduler tells its owner.
job_attribute() {
  cat >"$work/jobs.test" <<TEST
{ OPERATION Get-Jobs
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR language attributes-natural-language en
  ATTR uri printer-uri \$uri
  ATTR name requesting-user-name \$user
  ATTR keyword which-jobs all
  ATTR keyword requested-attributes $2
  STATUS successful-ok
  DISPLAY $2 }
TEST
  local socket=${CUPS_SERVER//\//%2F}
  # Run in $(...): a failure shows in the output compared, not in the counter.
  ipptool -c "ipp://$socket/printers/$1" "$work/jobs.test" >"$work/ipp.out" 2>&1 \
    || { echo "ipptool failed: $(cat "$work/ipp.out")"; return; }
  tail -n +2 "$work/ipp.out"
}

# Status: ready, disabled with a reason, rejecting; each with its exit status and the JSON form.
new_queue st-ready
new_queue st-paused
new_queue st-reject
cupsdisable -r "Out of paper" st-paused
cupsreject st-reject
run status -d ST-READY
check_eq "ready status" "$status:$(facts)" "0:st-ready: ready, idle, accepting jobs, 0 jobs waiting"
run status -d st-paused
check_eq "paused status" "$status:$(facts)" \
  "1:st-paused: not ready, stopped (paused), accepting jobs, 0 jobs waiting: Out of paper"
run status -d st-reject
check_eq "rejecting status" "$status" 1
grep -q "^st-reject: not ready, idle, rejecting jobs" "$work/out" || fail "rejecting queue: $(facts)"
run status --json
check_eq "status of all" "$status" 1
python3 -c 'import json, sys
by_name = {p["name"]: p for p in json.load(open(sys.argv[1]))}
assert by_name["st-ready"]["ready"] and by_name["st-ready"]["queued_jobs"] == 0, by_name["st-ready"]
paused = by_name["st-paused"]
assert not paused["ready"] and paused["state"] == "stopped" and paused["reasons"] == ["paused"], paused
assert paused["message"] == "Out of paper" and paused["accepting_jobs"], paused
assert not by_name["st-reject"]["ready"] and not by_name["st-reject"]["accepting_jobs"]' "$work/out" \
  || fail "status --json: $(cat "$work/out")"
run status -d no-such-queue
check_eq "unknown queue" "$status:$(cat "$work/err")" "1:rawlet: no printer named 'no-such-queue'"
run status extra
check_eq "status with an argument" "$status" 2
CUPS_SERVER=$work/no-scheduler.sock run status
check_eq "status without a scheduler" "$status:$(cat "$work/err")" \
  "1:rawlet: no print scheduler answers at $work/no-scheduler.sock (No such file or directory)"

# Empty input: no job at all, and a message that says why.
new_queue empty-input
printf '' | "$rawlet" print -d empty-input 2>"$work/err"
check_eq "empty input" "$?:$(cat "$work/err")" "1:rawlet: nothing to print"
check_eq "jobs made of empty input" "$(job_attribute empty-input job-id)" ""

# A title of 100,000 characters, a URL with non-ASCII characters: the job is accepted with
# its name cut to 255 octets, on a character boundary (here 254), and prints. The queue holds
# the job meanwhile: the scheduler may drop a finished job's name from what it tells.
new_queue long-title
cupsdisable long-title
title="https://example.com/$(python3 -c 'print("ü" * 49990, end="")')"
printf 'titled' | "$rawlet" print -d long-title -t "$title" || fail "long title refused"
check_eq "cut title" "$(job_attribute long-title job-name)" "$(printf '%s' "$title" | head -c 254)"
cupsenable long-title
"$sandbox" wait "$RAWLET_SANDBOX" long-title 1 60 || fail "long title job did not print"

# Interrupted in mid-job: the scheduler makes no job of a document whose end never came, so
# nothing prints and nothing is left in the queue, and the exit status is the signal's. The
# input is a FIFO kept open, so the command is stuck reading.
new_queue interrupted
mkfifo "$work/input"
for signal in TERM:143 HUP:129 INT:130; do
  env --default-signal=INT "$rawlet" print -d interrupted <"$work/input" 2>"$work/err" &
  pid=$!
  exec 3>"$work/input"
  head -c 200000 /dev/zero >&3
  sleep 1
  kill -"${signal%:*}" "$pid"
  wait "$pid"
  check_eq "SIG${signal%:*} exit status" "$?" "${signal#*:}"
  exec 3>&-
  check_eq "jobs left after SIG${signal%:*}" "$(lpstat -o interrupted)" ""
done
check_eq "jobs of any state after the interruptions" "$(job_attribute interrupted job-state)" ""
check_eq "device jobs after the interruptions" "$("$sandbox" jobs "$RAWLET_SANDBOX" interrupted | wc -l)" 0
check_eq "interrupted jobs printed" "$(device_jobs interrupted)" 0

# Progress: on a terminal once a job outlasts a second, never elsewhere or with --quiet.
new_queue progress
slow_input="(head -c 100000 /dev/zero; sleep 1.5; head -c 100000 /dev/zero)"
script -qec "$slow_input | '$rawlet' print -d progress --wait" /dev/null >"$work/terminal"
grep -q 'rawlet: 195.3 KiB sent, .*/s' "$work/terminal" || fail "no progress on a terminal: $(cat -v "$work/terminal")"
grep -q 'rawlet: job progress-[0-9]* completed' "$work/terminal" || fail "no job state: $(cat -v "$work/terminal")"
script -qec "$slow_input | '$rawlet' print -d progress --quiet" /dev/null >"$work/terminal"
check_eq "progress with --quiet" "$(cat "$work/terminal")" ""
eval "$slow_input" | "$rawlet" print -d progress 2>"$work/err"
check_eq "progress off a terminal" "$(cat "$work/err")" ""
"$sandbox" wait "$RAWLET_SANDBOX" progress 3 60 || fail "progress jobs did not print"

(( failures == 0 )) && echo "all CLI interaction checks passed"
exit $(( failures > 0 ))
