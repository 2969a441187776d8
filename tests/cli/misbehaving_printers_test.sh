#!/usr/bin/env bash
# The rawlet command against direct printers that misbehave the way real ones do: slow,
# talkative, gone, or behind a scheduler that does not answer. Every run has a bound and
# fails when it goes past it.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
silent_scheduler=""
trap '[[ -n $silent_scheduler ]] && kill "$silent_scheduler"; stop_fakes; rm -rf "$work"' EXIT

head -c 65536 /dev/urandom >"$work/64k.bin"
head -c 4000000 /dev/urandom >"$work/4m.bin"

# A printer that reads slowly but steadily is waited for as long as it keeps reading: the
# timeout bounds a stall, not the job. 64 KiB at 8 KiB/s takes about 8 s.
start_fake slow:8192 slow
within 30 print -d "$uri?timeout=3" "$work/64k.bin"
check_eq "slow printer" "$status:$(cat "$work/err")" "0:"
cmp -s "$work/64k.bin" "$work/slow/job-1.bin" || fail "slow printer's job not stored whole"

# One that holds every byte and talks without ever closing has the timeout to close, once.
start_fake chatty chatty
within 15 print -d "$uri?timeout=2" "$work/64k.bin"
check_eq "chatty printer status" "$status" 1
grep -qx "rawlet: job [0-9]* was not delivered: $uri?timeout=2: timed out after 2 s waiting for the printer to close" \
  "$work/err" || fail "chatty printer: $(cat "$work/err")"

# An interruption ends the command at once, and the printer never takes the job as whole.
start_fake slow:8192 interrupted
timeout 20 "$rawlet" print -d "$uri?timeout=30" "$work/64k.bin" 2>/dev/null &
command=$!
sleep 1
kill -INT "$command"
started=$SECONDS
wait "$command"
check_eq "interrupted status" "$?" 130
(( SECONDS - started <= 2 )) || fail "the interruption took $((SECONDS - started)) s"
sleep 0.5
[[ ! -e $work/interrupted/job-1.bin ]] || fail "an interrupted job was stored as whole"

# A device file whose reader leaves: the reason, not a silent death by SIGPIPE.
mkfifo "$work/fifo"
head -c 10 <"$work/fifo" >/dev/null &
sleep 0.2
within 20 print -d "file:$work/fifo" "$work/4m.bin"
check_eq "fifo reader gone" "$status:$(tail -1 "$work/err")" "1:rawlet: file:$work/fifo: $work/fifo: broken pipe"

# A regular file as the device holds this job alone; file:///PATH, as lpstat -v spells it.
printf 'an older and much longer job\n' >"$work/out.bin"
printf 'new\n' >"$work/new.txt"
within 10 print -d "file://$work/out.bin" "$work/new.txt"
check_eq "file device" "$status:$(cat "$work/out.bin")" "0:new"

# A direct printer by name is found without the scheduler, here one that accepts and never
# answers; print and status match its name alike.
python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(16); held = []
while True: held.append(s.accept()[0])' "$work/silent.sock" &
silent_scheduler=$!
new_queue direct-by-name
echo "Receipts socket://127.0.0.1:$(cat "$RAWLET_SANDBOX/devices/direct-by-name/port")" >"$work/printers.conf"
for _ in $(seq 100); do [[ -S $work/silent.sock ]] && break; sleep 0.05; done
export RAWLET_PRINTERS=$work/printers.conf CUPS_SERVER=$work/silent.sock
within 10 print -d receipts "$work/new.txt"
check_eq "direct name, silent scheduler" "$status:$(cat "$work/err")" "0:"
within 10 status -d RECEIPTS
check_eq "direct status by name" "$status:$(facts)" "0:Receipts: ready, state unknown, accepting jobs"
unset RAWLET_PRINTERS CUPS_SERVER

(( failures == 0 )) && echo "all misbehaving printer checks passed"
exit $(( failures > 0 ))
