#!/usr/bin/env bash
# The rawlet command against direct printers that misbehave the way real ones do: slow,
# talkative, gone, or behind a scheduler that does not answer. Every run has a bound and
# fails when it goes past it.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
silent_scheduler=""
unanswering=""
trap 'kill $silent_scheduler $unanswering 2>/dev/null; stop_fakes; rm -rf "$work"' EXIT

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
check_eq "chatty printer status" "$status" 3
grep -qxF "rawlet: job 1 was not delivered: $uri?timeout=2: timed out after 2 s waiting for the printer to close: the printer had acknowledged 65,536 of 65,536 bytes and may print them" \
  "$work/err" || fail "chatty printer: $(cat "$work/err")"

# An interruption ends the command at once, and the printer never takes the job as whole.
# Prints the 64 KiB job to $uri, interrupts it after $1 seconds and checks that it ended at
# once with status 130; its standard error goes to $2, and $interrupted_at says when.
print_interrupted() {
  timeout 20 "$rawlet" print -d "$uri?timeout=30" "$work/64k.bin" 2>"$2" &
  local command=$!
  sleep "$1"
  kill -INT "$command"
  interrupted_at=$SECONDS
  wait "$command"
  check_eq "interrupted after $1 s: status" "$?" 130
  (( SECONDS - interrupted_at <= 2 )) || fail "the interruption after $1 s took $((SECONDS - interrupted_at)) s"
}

start_fake slow:8192 interrupted
print_interrupted 1 /dev/null
sleep 0.5
[[ ! -e $work/interrupted/job-1.bin ]] || fail "an interrupted job was stored as whole"

# Interrupted once every byte is written, while the printer still reads them: the connection
# is reset at once, so the printer never gets the rest (it would have it whole some 8 s
# later, checked at the end), and the message says what the printer had acknowledged.
start_fake slow:8192 interrupted-end
print_interrupted 0.7 "$work/end-err"
pattern="^rawlet: (job 1 was not delivered: )?$uri\?timeout=30: interrupted: the printer had acknowledged ([0-9,]+) of 65,536 bytes and may print them$"
acknowledged=0
if [[ $(cat "$work/end-err") =~ $pattern ]]; then
  acknowledged=${BASH_REMATCH[2]//,/}
else
  fail "interrupted at the end: $(cat "$work/end-err")"
fi

# A printer that never answers the connection (its backlog full): an interruption ends the
# connect at once, for AppSocket and for IPP alike.
python3 -c 'import socket, sys, time
listener = socket.socket(); listener.bind(("127.0.0.1", 0)); listener.listen(0)
waiting = [socket.socket() for _ in range(3)]
for client in waiting: client.setblocking(False); client.connect_ex(listener.getsockname())
open(sys.argv[1], "w").write(str(listener.getsockname()[1])); time.sleep(3600)' "$work/unanswering-port" &
unanswering=$!
for _ in $(seq 100); do [[ -s $work/unanswering-port ]] && break; sleep 0.05; done
for scheme in socket ipp; do
  timeout 20 "$rawlet" print -d "$scheme://127.0.0.1:$(cat "$work/unanswering-port")?timeout=10" \
    "$work/64k.bin" 2>"$work/err" &
  command=$!
  sleep 0.5
  kill -INT "$command"
  started=$(date +%s%N)
  wait "$command"
  check_eq "$scheme connect interrupted: status" "$?" 130
  took=$(( ($(date +%s%N) - started) / 1000000 ))
  (( took <= 1000 )) || fail "$scheme connect: the interruption took $took ms"
  check_eq "$scheme connect interrupted: message" "$(cat "$work/err")" \
    "rawlet: $scheme://127.0.0.1:$(cat "$work/unanswering-port")?timeout=10: interrupted"
done

# A serial line whose printer reads nothing: interrupted in mid-write, the message says how
# much the line had sent it.
socat pty,raw,echo=0,link="$work/tty-printer" pty,raw,echo=0,link="$work/tty-host" 2>/dev/null &
socat_pid=$!
for _ in $(seq 100); do [[ -e $work/tty-host && -e $work/tty-printer ]] && break; sleep 0.05; done
exec 8<"$work/tty-printer" # held open and never read
timeout 20 "$rawlet" print -d "serial:$work/tty-host?timeout=30" "$work/4m.bin" 2>"$work/err" &
command=$!
sleep 0.5
kill -INT "$command"
wait "$command"
check_eq "serial line interrupted: status" "$?" 130
grep -Eqx "rawlet: serial:$work/tty-host\?timeout=30: interrupted: the printer had received [0-9,]+ of [0-9,]+ bytes and may print them" \
  "$work/err" || fail "serial line interrupted: $(cat "$work/err")"
exec 8<&-
kill "$socat_pid"

# A device file whose reader leaves: the reason, not a silent death by SIGPIPE.
mkfifo "$work/fifo"
head -c 10 <"$work/fifo" >/dev/null &
sleep 0.2
within 20 print -d "file:$work/fifo" "$work/4m.bin"
[[ $status:$(tail -1 "$work/err") =~ ^"3:rawlet: file:$work/fifo: $work/fifo: broken pipe: the device had taken "[0-9,]+" of "[0-9,]+" bytes and may print them"$ ]] \
  || fail "fifo reader gone: $status: $(cat "$work/err")"

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

# Long after the printer would have read the whole interrupted job: it never got it, and it
# stored no more than it had acknowledged when the command was interrupted.
(( SECONDS - interrupted_at >= 9 )) || sleep $(( 9 - (SECONDS - interrupted_at) ))
[[ ! -e $work/interrupted-end/job-1.bin ]] || fail "the printer took the interrupted job whole"
stored=$(stat -c %s "$work/interrupted-end/.job-1.part" 2>/dev/null || echo 0)
(( stored <= acknowledged )) || fail "the printer stored $stored bytes, more than the $acknowledged acknowledged"

(( failures == 0 )) && echo "all misbehaving printer checks passed"
exit $(( failures > 0 ))
