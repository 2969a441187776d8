#!/usr/bin/env bash
# rawlet print --wait on queues whose printer stops, whose job an administrator cancels, with
# a limit on the wait, and interrupted: the answer must match what the printer does
# afterwards. Runs its own scheduler, keeping no job history (a job is forgotten as soon as
# it ends), whose devices it pauses (SIGSTOP) so that jobs stay processing or pending.
#
#   queue_wait_test.sh PATH/rawlet
set -uo pipefail

source "$(dirname "$0")/../lib/own-scheduler.sh" "$1" --no-history stops-pending stops-printing cancelled limited interrupted
trap 'resume_devices; "$sandbox" stop "$own_sandbox"; rm -rf "$work"' EXIT

pause_device() { kill -STOP "$(cat "$devices/$1/pid")"; }
resume_device() { kill -CONT "$(cat "$devices/$1/pid")"; }
resume_devices() { for pid in "$devices"/*/pid; do kill -CONT "$(cat "$pid")" 2>/dev/null; done; }
queued() { lpstat -o "$1" | grep -c .; }
# Waits up to 10 s for `CONDITION...` to hold.
await() { for _ in $(seq 200); do "$@" && return 0; sleep 0.05; done; return 1; }
has_queued() { [[ $(queued "$1") == "$2" ]]; }
now_printing() { lpstat -p "$1" | grep -q 'now printing'; }
# The device of QUEUE holds a job with the receipt's words.
printed_receipt() { grep -lqF "$receipt_words" "$devices/$1"/job-*.bin 2>/dev/null; }
# Starts `rawlet print --wait -d QUEUE OPTION...` on the receipt in the background ($waiting);
# SIGINT is let through, which a shell's background job would ignore.
print_waiting() {
  local queue=$1
  shift
  timeout 30 env --default-signal=INT "$rawlet" print --wait -d "$queue" "$@" "$work/receipt.txt" 2>"$work/err" &
  waiting=$!
}
# Ends the paused device's job in front and lets the device run again, so that whatever the
# queue still holds reaches it.
run_again() {
  cancel -a "$1"
  resume_device "$1"
  cupsenable "$1"
  sleep 3
}
# A job in front of ours that the paused device keeps processing.
job_in_front() {
  pause_device "$1"
  lp -d "$1" "$work/large.bin" >/dev/null
  await now_printing "$1" || fail "$1: the job in front did not start"
}

receipt_words="receipt $RANDOM$RANDOM"
printf '%s\r\n' "$receipt_words" >"$work/receipt.txt"
head -c $((8 << 20)) /dev/urandom >"$work/large.bin"

# Waiting behind another job when the printer stops: ours is cancelled, not printed.
job_in_front stops-pending
print_waiting stops-pending
await has_queued stops-pending 2 || fail "stops-pending: the job was not queued"
cupsdisable stops-pending
wait "$waiting"
check_eq "stopped while pending: status" "$?" 1
grep -q 'job stops-pending-[0-9]* did not print: printer stopped: paused; it was cancelled and will not print' "$work/err" ||
  fail "stopped while pending: $(cat "$work/err")"
check_eq "stopped while pending: jobs left" "$(queued stops-pending)" 1
run_again stops-pending
printed_receipt stops-pending && fail "stopped while pending: the receipt printed once the printer ran again"

# Printing when the printer stops: the scheduler would print it again from the start once the
# printer runs again; it is cancelled, and some of it may have printed.
pause_device stops-printing
timeout 30 "$rawlet" print --wait -d stops-printing "$work/large.bin" 2>"$work/err" &
waiting=$!
await now_printing stops-printing || fail "stops-printing: the job did not start"
cupsdisable stops-printing
wait "$waiting"
check_eq "stopped while printing: status" "$?" 3
grep -q 'job stops-printing-[0-9]* did not print to the end: printer stopped: paused; it was cancelled, but some of it may have printed' \
  "$work/err" || fail "stopped while printing: $(cat "$work/err")"
check_eq "stopped while printing: jobs left" "$(queued stops-printing)" 0
run_again stops-printing
cmp -s "$work/large.bin" "$(ls -1v "$devices"/stops-printing/job-*.bin 2>/dev/null | tail -1)" &&
  fail "stopped while printing: the job printed whole once the printer ran again"

# Cancelled by an administrator while it waited, on a scheduler that forgets jobs as they
# end: it went without a word, so the command cannot tell; it never counts as printed.
job_in_front cancelled
print_waiting cancelled
await has_queued cancelled 2 || fail "cancelled: the job was not queued"
cancel "$(lpstat -o cancelled | tail -1 | cut -d' ' -f1)"
wait "$waiting"
check_eq "cancelled by an administrator: status" "$?" 3
grep -q 'no longer knows it and told nothing of its end' "$work/err" || fail "cancelled by an administrator: $(cat "$work/err")"
run_again cancelled
printed_receipt cancelled && fail "cancelled by an administrator: the receipt printed"

# A limit on the wait: the job still open is unknown and stays queued, as the message says.
job_in_front limited
SECONDS=0
print_waiting limited --wait-timeout 1
wait "$waiting"
check_eq "wait limit: status" "$?" 3
((SECONDS <= 5)) || fail "wait limit: the command took $SECONDS s"
grep -q 'job limited-[0-9]* was still pending when the wait.s limit passed: it was not cancelled and may still print' \
  "$work/err" || fail "wait limit: $(cat "$work/err")"
check_eq "wait limit: jobs left" "$(queued limited)" 2
run_again limited

# Ctrl-C while waiting: the command ends within 2 s, and the job waiting behind another is
# cancelled, so it never prints.
job_in_front interrupted
print_waiting interrupted
await has_queued interrupted 2 || fail "interrupted: the job was not queued"
started=$(date +%s%N)
kill -INT "$waiting"
wait "$waiting"
status=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
check_eq "interrupted: status" "$status" 130
((elapsed_ms <= 2000)) || fail "interrupted: the command ended after $elapsed_ms ms"
check_eq "interrupted: jobs left" "$(queued interrupted)" 1
run_again interrupted
printed_receipt interrupted && fail "interrupted: the receipt printed after the command was interrupted"

((failures == 0)) && echo "all queue wait checks passed"
exit $((failures > 0))
