#!/usr/bin/env bash
# The rawlet command against a scheduler that stops answering (SIGSTOP) in the middle of a
# job, and against one that keeps no job history. An interruption must end the command
# within a bound whatever the scheduler does, and the job cut short must never print once
# the scheduler runs again; `print --wait` of a job that printed succeeds even when the
# scheduler forgets the job as soon as it ends. Runs its own private scheduler, since it
# stops it.
#
#   scheduler_paused.sh PATH/rawlet
set -uo pipefail

source "$(dirname "$0")/../lib/own-scheduler.sh" "$1" --no-history paused forgetful
trap 'resume_scheduler; "$sandbox" stop "$own_sandbox"; rm -rf "$work"' EXIT
scheduler() { cat "$own_sandbox/run/cupsd.child"; }
resume_scheduler() { kill -CONT "$(scheduler)" 2>/dev/null; }

# Seconds since the epoch, to the millisecond.
now() { date +%s.%N; }

# Feeds the command a first mebibyte, then, once $work/go exists, more than the sockets hold
# and the end of the input: the command is blocked writing to the scheduler when signalled.
feed() {
  echo $BASHPID >"$work/feeder"
  head -c $((1 << 20)) /dev/urandom
  while [[ ! -e $work/go ]]; do sleep 0.05; done
  head -c $((16 << 20)) /dev/urandom
}

# The scheduler stops answering mid-job; SIGNAL must end the command within 5 s with
# 128 + its number, and the cut job must not print after the scheduler resumes.
interrupt_paused() {
  local signal=$1 expected=$2 pid started ended status
  rm -f "$work/go"
  # A background job of a script starts with SIGINT ignored, which the command respects.
  feed | env --default-signal=INT "$rawlet" print -d paused 2>"$work/err" &
  pid=$!
  for _ in $(seq 100); do [[ -n $(lpstat -o paused) ]] && break; sleep 0.05; done
  kill -STOP "$(scheduler)"
  touch "$work/go"
  sleep 1
  started=$(now)
  kill -"$signal" "$pid"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  ended=$(now)
  if kill -0 "$pid" 2>/dev/null; then
    fail "SIG$signal with the scheduler stopped: the command still runs after 5 s"
    kill -KILL "$pid"
  fi
  pkill -P "$(cat "$work/feeder")"
  wait "$pid"
  status=$?
  resume_scheduler
  if [[ $status == "$expected" ]]; then
    ok "SIG$signal with the scheduler stopped: exit $status after $(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.2f", b - a }') s"
  else
    fail "SIG$signal with the scheduler stopped: exit $status, expected $expected: $(cat "$work/err")"
  fi
  sleep 4 # time for a job that the scheduler wrongly took as whole to reach the device
  [[ $(jobs_held paused) == 0 ]] && ok "SIG$signal: the cut job did not print once the scheduler resumed" ||
    fail "SIG$signal: the device received $(jobs_held paused) cut job(s) after the scheduler resumed"
}

interrupt_paused INT 130
interrupt_paused TERM 143

# No job history: the job is gone from the scheduler as soon as it completes.
head -c 4096 /dev/urandom >"$work/small.bin"
timeout 30 "$rawlet" print --wait -d forgetful <"$work/small.bin" 2>"$work/err"
status=$?
if [[ $status == 0 ]] && cmp -s "$work/small.bin" "$devices/forgetful/job-1.bin"; then
  ok "no job history: print --wait of a job that printed exits 0"
else
  fail "no job history: print --wait exited $status: $(cat "$work/err")"
fi

((failures == 0)) && echo "all paused-scheduler checks passed"
exit $((failures > 0))
