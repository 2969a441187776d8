#!/usr/bin/env bash
# The rawlet command and direct printers, against the private scheduler's capture devices on
# loopback (AppSocket), a second scheduler serving IPP on a loopback port as a remote server
# would, and a pty pair standing for a serial line.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
chmod 0755 "$work"
remote=$work/remote
socat_pid=""
trap '[[ -n $socat_pid ]] && kill "$socat_pid"; "$sandbox" stop "$remote" >/dev/null 2>&1; rm -rf "$work"' EXIT
device() { "$sandbox" add "$RAWLET_SANDBOX" "$1" >/dev/null || fail "cannot add device $1"; }
port_of() { cat "$RAWLET_SANDBOX/devices/$1/port"; }
job() { cat "$RAWLET_SANDBOX/devices/$1/job-$2.bin"; }
run() { within 60 "$@"; }

python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 4)' >"$work/bytes.bin"
head -c 20000000 /dev/urandom >"$work/big.bin"

# A URI in place of a name: every byte value arrives unchanged, and the device holds the job
# by the time the command returns (it waits for the device to close the connection).
device direct-socket
run print -d "socket://127.0.0.1:$(port_of direct-socket)" "$work/bytes.bin"
check_eq "socket print status" "$status" 0
cmp -s "$work/bytes.bin" <(job direct-socket 1) || fail "socket job not stored byte for byte on return"

# printers.conf: its direct printers follow the queues, are found without regard to case,
# and its bad lines are named on standard error.
cat >"$work/printers.conf" <<CONF
# the shop's printers
Receipts socket://127.0.0.1:$(port_of direct-socket)
Broken lpd://nowhere
CONF
export RAWLET_PRINTERS=$work/printers.conf
run printers --long
check_eq "printers --long status" "$status" 0
grep -qE "^direct-socket +queue +socket://127.0.0.1:[0-9]+$" "$work/out" || fail "queue not listed long: $(cat "$work/out")"
tail -1 "$work/out" | grep -qE "^Receipts +direct +socket://127.0.0.1:$(port_of direct-socket)$" \
  || fail "direct printer not listed last: $(cat "$work/out")"
check_eq "bad line" "$(cat "$work/err")" \
  "rawlet: $work/printers.conf:3: 'lpd://nowhere' is not a device URI (socket://, ipp://, ipps://, serial: or file:)"
printf 'ticket\r\n' | "$rawlet" print -d RECEIPTS 2>/dev/null || fail "print by a configured name failed"
check_eq "configured printer job" "$(job direct-socket 2)" $'ticket\r'
# With no scheduler the direct printers are still listed, with a word about the queues.
CUPS_SERVER=$work/no-scheduler.sock run printers
check_eq "printers without a scheduler" "$status:$(cat "$work/out")" "0:Receipts"
check_eq "printers without a scheduler warning" "$(tail -1 "$work/err")" \
  "rawlet: no print scheduler answers at $work/no-scheduler.sock (No such file or directory)"
unset RAWLET_PRINTERS

# Status asked of the device itself: ready when it answers, and not when nothing listens.
run status -d "socket://127.0.0.1:$(port_of direct-socket)"
check_eq "direct status" "$status:$(facts)" \
  "0:socket://127.0.0.1:$(port_of direct-socket): ready, state unknown, accepting jobs"

# A closed port fails the document's start, with the reason on the next line.
closed=$(free_port)
run print -d "socket://127.0.0.1:$closed" "$work/bytes.bin"
check_eq "refused status" "$status" 1
check_eq "refused text" "$(cat "$work/err")" "rawlet: error 32036 (Rawleter): Error occur while open the printer queue
rawlet: socket://127.0.0.1:$closed: connection refused"
run print -d "ipp://127.0.0.1:$closed/ipp/print" "$work/bytes.bin"
check_eq "refused ipp reason" "$(tail -1 "$work/err")" "rawlet: ipp://127.0.0.1:$closed/ipp/print: connection refused"

run status -d "socket://127.0.0.1:$closed"
check_eq "refused printer's status" "$status:$(facts)" "1:socket://127.0.0.1:$closed: not ready, does not answer"

# A device that drops the connection mid-job, or stops reading, fails the write; neither hangs.
# It had part of the job, which it may print: the outcome is unknown (status 3), and the
# reason says how much it had.
device direct-drop
echo "drop:1000" >"$RAWLET_SANDBOX/devices/direct-drop/mode"
run print -d "socket://127.0.0.1:$(port_of direct-drop)" "$work/big.bin"
check_eq "dropped status" "$status" 3
check_eq "dropped error" "$(head -1 "$work/err")" "rawlet: error 32037 (Rawleter): error occur while write data to the printer"
grep -qE "^rawlet: socket://127.0.0.1:[0-9]+: (connection reset by peer|broken pipe): the printer had acknowledged [0-9,]+ of [0-9,]+ bytes and may print them$" "$work/err" \
  || fail "drop reason: $(cat "$work/err")"
device direct-stall
echo "stall" >"$RAWLET_SANDBOX/devices/direct-stall/mode"
stalled="socket://127.0.0.1:$(port_of direct-stall)?timeout=1"
run print -d "$stalled" "$work/big.bin"
check_eq "stalled status" "$status" 3
[[ $(tail -1 "$work/err") =~ ^"rawlet: $stalled: timed out after 1 s with the printer taking no data: the printer had acknowledged "[0-9,]+" of "[0-9,]+" bytes and may print them"$ ]] \
  || fail "stalled reason: $(cat "$work/err")"

# A device that keeps the connection open after the job has not confirmed delivery, and may
# print what it holds (status 3).
device direct-hold
echo "hold" >"$RAWLET_SANDBOX/devices/direct-hold/mode"
held="socket://127.0.0.1:$(port_of direct-hold)?timeout=1"
run print -d "$held" "$work/bytes.bin"
check_eq "held status" "$status" 3
grep -qxF "rawlet: job 1 was not delivered: $held: timed out after 1 s waiting for the printer to close: the printer had acknowledged 1,024 of 1,024 bytes and may print them" "$work/err" \
  || fail "held reason: $(cat "$work/err")"

# IPP straight to a queue of another scheduler, which CUPS_SERVER does not name.
ipp_port=$(free_port)
"$sandbox" start "$remote" --listen "$ipp_port" far-queue >/dev/null || fail "remote scheduler did not start"
run print -d "ipp://127.0.0.1:$ipp_port/printers/far-queue" "$work/bytes.bin"
check_eq "ipp print status" "$status" 0
"$sandbox" wait "$remote" far-queue 1 60 || fail "remote queue received nothing"
cmp -s "$work/bytes.bin" "$remote/devices/far-queue/job-1.bin" || fail "ipp job changed on the way"
# ipps: the same, encrypted with the certificate the scheduler makes for itself; a port that
# hangs up at once fails the encryption, and says so.
run print -d "ipps://127.0.0.1:$ipp_port/printers/far-queue" "$work/bytes.bin"
check_eq "ipps print status" "$status:$(cat "$work/err")" "0:"
"$sandbox" wait "$remote" far-queue 2 60 || fail "remote queue received no encrypted job"
cmp -s "$work/bytes.bin" "$remote/devices/far-queue/job-2.bin" || fail "ipps job changed on the way"
device direct-refuse
echo "refuse" >"$RAWLET_SANDBOX/devices/direct-refuse/mode"
run print -d "ipps://127.0.0.1:$(port_of direct-refuse)/ipp/print" "$work/bytes.bin"
grep -q "^rawlet: ipps://127.0.0.1:[0-9]*/ipp/print: cannot encrypt the connection: " "$work/err" \
  || fail "ipps to a port that hangs up: $(cat "$work/err")"
# --wait follows the remote job to its end: printed, or aborted by a device that cut it off.
run print --wait -d "ipp://127.0.0.1:$ipp_port/printers/far-queue" "$work/bytes.bin"
check_eq "ipp wait status" "$status" 0
"$sandbox" add "$remote" far-drop >/dev/null
echo "drop:1000" >"$remote/devices/far-drop/mode"
run print --wait -d "ipp://127.0.0.1:$ipp_port/printers/far-drop" "$work/big.bin"
check_eq "ipp wait on a dropped job status" "$status" 1
grep -q "^rawlet: job [0-9]* on ipp://127.0.0.1:$ipp_port/printers/far-drop did not print: job aborted" "$work/err" \
  || fail "ipp dropped job not reported: $(cat "$work/err")"
run print -d "ipp://127.0.0.1:$ipp_port/printers/no-such-queue" "$work/bytes.bin"
check_eq "ipp unknown queue status" "$status" 1
grep -q "^rawlet: ipp://127.0.0.1:$ipp_port/printers/no-such-queue: the printer refused: client-error-not-found (" "$work/err" \
  || fail "ipp unknown queue reason: $(cat "$work/err")"

# A serial line: one end of a pty pair, read back at the other.
socat pty,raw,echo=0,link="$work/tty-printer" pty,raw,echo=0,link="$work/tty-host" 2>/dev/null &
socat_pid=$!
for _ in $(seq 100); do [[ -e $work/tty-host && -e $work/tty-printer ]] && break; sleep 0.05; done
timeout 20 head -c "$(stat -c %s "$work/bytes.bin")" "$work/tty-printer" >"$work/serial.bin" &
reader=$!
sleep 0.2
run print -d "serial:$work/tty-host?baud=115200+bits=8+parity=none+flow=none" "$work/bytes.bin"
check_eq "serial print status" "$status" 0
wait "$reader" || fail "serial reader did not get every byte"
cmp -s "$work/bytes.bin" "$work/serial.bin" || fail "serial bytes changed on the way"
# A device file, with a fifo standing for /dev/usb/lp0: no serial set-up, the bytes as given.
mkfifo "$work/lp0"
exec 7<>"$work/lp0" # a reader from the start, so opening it for writing cannot fail
timeout 20 head -c "$(stat -c %s "$work/bytes.bin")" <&7 >"$work/file.bin" &
reader=$!
run print -d "file:$work/lp0" "$work/bytes.bin"
check_eq "file print status" "$status" 0
wait "$reader" || fail "device file reader did not get every byte"
cmp -s "$work/bytes.bin" "$work/file.bin" || fail "device file bytes changed on the way"
exec 7<&-
run print -d "serial:$work/no-such-tty" "$work/bytes.bin"
check_eq "missing serial device" "$(tail -1 "$work/err")" \
  "rawlet: serial:$work/no-such-tty: cannot open $work/no-such-tty: no such file or directory"

(( failures == 0 )) && echo "all direct printer checks passed"
exit $(( failures > 0 ))
