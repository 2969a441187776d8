#!/usr/bin/env bash
# The rawlet command when things go wrong between it and the printer: a device that refuses
# or stalls, a disabled queue, and the scheduler stopped and restarted in the middle of a
# job. For each, what the command reports, and that `rawlet print --wait` never reports a
# job done whose bytes the device does not hold. Runs its own private scheduler, since it
# stops and restarts it.
#
#   scheduler_faults.sh PATH/rawlet
set -uo pipefail

source "$(dirname "$0")/../lib/own-scheduler.sh" "$1" refuse stall disabled restart

# Runs `rawlet print --wait -d QUEUE` on standard input, keeping its status and errors.
print_wait() { "$rawlet" print --wait -d "$@" 2>"$work/err"; status=$?; return $status; }

# The scheduler alone goes down and comes back with its queues, jobs and devices, the way
# cups-sandbox started it.
stop_scheduler() {
  local pid
  pid=$(cat "$own_sandbox/run/cupsd.child")
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
}
start_scheduler() {
  cupsd -f -c "$own_sandbox/etc/cupsd.conf" -s "$own_sandbox/etc/cups-files.conf" </dev/null \
    >>"$own_sandbox/log/cupsd.out" 2>&1 &
  echo $! >"$own_sandbox/run/cupsd.child"
  for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q 'is running' && return; sleep 0.1; done
  fail "the scheduler did not come back"
}

# Larger than the sockets' buffers, so that the device's faults reach the scheduler.
head -c $((8 << 20)) /dev/urandom >"$work/8m.bin"

echo refuse >"$devices/refuse/mode"
print_wait refuse <"$work/8m.bin"
if [[ $status == 1 ]] && grep -q 'did not print: job aborted' "$work/err"; then
  ok "device refuses: print --wait exits 1: $(cat "$work/err")"
else
  fail "device refuses: status $status, $(cat "$work/err")"
fi

echo stall >"$devices/stall/mode"
timeout 5 "$rawlet" print --wait -d stall <"$work/8m.bin" 2>"$work/err"
status=$?
if [[ $status == 124 && $(jobs_held stall) == 0 ]]; then
  ok "device stalls: print --wait still waiting after 5 s, the device holds nothing"
else
  fail "device stalls: status $status, $(jobs_held stall) job(s) at the device"
fi
cancel -a stall

cupsdisable disabled
print_wait disabled <"$work/8m.bin"
if [[ $status == 1 ]] && grep -q 'did not print: printer stopped' "$work/err" && [[ $(jobs_held disabled) == 0 ]]; then
  ok "queue disabled: print --wait exits 1: $(cat "$work/err")"
else
  fail "queue disabled: status $status, $(cat "$work/err")"
fi
# The job the command reported not printed was cancelled: it does not print once the queue
# runs again, so printing it anew does not print it twice.
cupsenable disabled
sleep 3
if [[ $(jobs_held disabled) == 0 ]] && grep -q 'it was cancelled and will not print' "$work/err"; then
  ok "queue enabled again: the job reported not printed stayed unprinted"
else
  fail "queue enabled again: $(jobs_held disabled) job(s) at the device, $(cat "$work/err")"
fi

# Stopped while the command still streams the job: the next write fails at the call.
{ head -c $((1 << 20)) /dev/urandom; sleep 2; head -c $((1 << 20)) /dev/urandom; } |
  print_wait restart &
streaming=$!
sleep 1
stop_scheduler
wait $streaming
start_scheduler
if grep -q 'error 32037' "$work/err" && [[ -z $(lpstat -W completed -o restart) && $(jobs_held restart) == 0 ]]; then
  ok "scheduler stopped mid-stream: $(cat "$work/err"); after the restart the job is not completed and nothing printed"
else
  fail "scheduler stopped mid-stream: $(cat "$work/err"); completed: $(lpstat -W completed -o restart); $(jobs_held restart) job(s) at the device"
fi

# Stopped after the last write, before the document ends: the scheduler never answered, so
# the command must not report the job accepted. When the document's end went out, the
# scheduler may have made the job of it: the outcome is unknown (3), not "not printed" (1).
{ head -c $((64 << 10)) /dev/urandom; sleep 2; } | "$rawlet" print -d restart 2>"$work/err" &
ending=$!
sleep 1
stop_scheduler
wait $ending
status=$?
start_scheduler
if grep -q 'was not accepted by the scheduler' "$work/err" &&
  { { [[ $status == 1 ]] && grep -q 'broke off' "$work/err"; } ||
    { [[ $status == 3 ]] && grep -q 'the job may print' "$work/err"; }; }; then
  ok "scheduler stopped before the end of the document: print exits $status: $(cat "$work/err")"
else
  fail "scheduler stopped before the end of the document: print exited $status: $(cat "$work/err")"
fi

# Stopped while the device receives the job: --wait cannot see the job end, and the job is
# unknown, as it must be: after the restart the scheduler prints the job again, whole.
head -c $((256 << 20)) /dev/urandom >"$work/256m.bin"
print_wait restart <"$work/256m.bin" &
waiting=$!
for _ in $(seq 600); do compgen -G "$devices/restart/.job-*.part" >/dev/null && break; sleep 0.02; done
stop_scheduler
wait $waiting
wait_status=$?
start_scheduler
if [[ $wait_status == 3 ]] && grep -q '^rawlet: job restart-[0-9]* may print: ' "$work/err"; then
  ok "scheduler stopped mid-print: print --wait exits 3: $(cat "$work/err")"
else
  fail "scheduler stopped mid-print: print --wait exited $wait_status: $(cat "$work/err")"
fi
deadline=$((SECONDS + 60))
until cmp -s "$work/256m.bin" "$(ls -1v "$devices"/restart/job-*.bin 2>/dev/null | tail -1)"; do
  ((SECONDS < deadline)) || { fail "the interrupted job was not printed again whole"; break; }
  sleep 0.2
done
((SECONDS < deadline)) && ok "after the restart the interrupted job printed again, whole"

(( failures == 0 )) && echo "all scheduler fault checks passed"
exit $(( failures > 0 ))
