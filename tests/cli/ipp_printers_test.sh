#!/usr/bin/env bash
# The rawlet command and IPP printers of every kind: a printer that speaks IPP/1.1 only, at
# a path or at the root, or refusing every request; and a second scheduler serving IPP on a
# loopback port, with and without a job history.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
chmod 0755 "$work"
remote=$work/remote
forgetful=$work/forgetful
printer=$work/printer
trap 'stop_fakes; for d in "$remote" "$forgetful"; do "$sandbox" stop "$d" >/dev/null 2>&1; done; rm -rf "$work"' EXIT
# Each run is bounded: one past 60 s fails as a timeout (status 124).
run() { within 60 "$@"; }

python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 4)' >"$work/bytes.bin"

start_fake ipp printer
old="ipp://127.0.0.1:$port"

# A printer of IPP/1.1 refuses 2.0: the job goes out in 1.1, every byte value unchanged,
# and --wait follows it in the same version.
run print --wait -d "$old/ipp/print" "$work/bytes.bin"
check_eq "IPP/1.1 printer status" "$status:$(cat "$work/err")" "0:"
cmp -s "$work/bytes.bin" "$printer/job-1.bin" || fail "IPP/1.1 job not stored byte for byte"

# A printer at the root, named with the slash and without it.
echo root >"$printer/mode"
for uri in "$old/" "$old"; do
  run print -d "$uri" "$work/bytes.bin"
  check_eq "root printer $uri" "$status:$(cat "$work/err")" "0:"
done
cmp -s "$work/bytes.bin" "$printer/job-3.bin" || fail "root printer job not stored byte for byte"

# A refusal is the printer's answer, with its status and message.
echo "error:0x0404:the paper is out" >"$printer/mode"
run print -d "$old/ipp/print" "$work/bytes.bin"
check_eq "refusal" "$status:$(tail -1 "$work/err")" \
  "1:rawlet: $old/ipp/print: the printer refused: client-error-not-possible (the paper is out)"
run status -d "$old/ipp/print"
check_eq "refusing printer's status" "$status:$(facts)" \
  "1:$old/ipp/print: not ready, state unknown, rejecting jobs: the printer refused: client-error-not-possible (the paper is out)"

# Waiting never ends by itself on a held job; on answers without a state, it ends with the
# job unknown: the printer took it and may print it.
echo nostate >"$printer/mode"
run print --wait -d "$old/ipp/print" "$work/bytes.bin"
check_eq "no job state" "$status:$(tail -1 "$work/err")" \
  "3:rawlet: job 4 on $old/ipp/print may print: its state is unavailable: the printer does not tell the job's state"

# A title longer than IPP carries is cut on a whole character: 254 octets, then a
# three-octet character across the limit.
title="$(printf 'a%.0s' $(seq 254))€$(printf 'ü%.0s' $(seq 21))"
echo normal >"$printer/mode"
run print -t "$title" -d "$old/ipp/print" "$work/bytes.bin"
check_eq "long title status" "$status:$(cat "$work/err")" "0:"
check_eq "long title cut" "$(cat "$printer/job-5.name")" "$(printf 'a%.0s' $(seq 254))"

# A printer that takes IPP/2.0 when asked for its state but not for jobs gets the job in 1.1,
# its document sent once.
echo jobs-in-1.1 >"$printer/mode"
: >"$printer/print-jobs"
run print -d "$old/ipp/print" "$work/bytes.bin"
check_eq "jobs in IPP/1.1 only" "$status:$(cat "$work/err"):$(cat "$printer/print-jobs")" "0::1.1"
cmp -s "$work/bytes.bin" "$printer/job-6.bin" || fail "IPP/1.1 job after a 2.0 state not stored byte for byte"

# A scheduler refuses a name over 255 octets: the cut name passes.
ipp_port=$(free_port)
"$sandbox" start "$remote" --listen "$ipp_port" far-queue >/dev/null || fail "remote scheduler did not start"
run print -t "€$title" -d "ipp://127.0.0.1:$ipp_port/printers/far-queue" "$work/bytes.bin"
check_eq "long title to a scheduler" "$status:$(cat "$work/err")" "0:"
"$sandbox" wait "$remote" far-queue 1 60 || fail "remote queue received nothing"
cmp -s "$work/bytes.bin" "$remote/devices/far-queue/job-1.bin" || fail "remote job changed on the way"

# A scheduler that keeps no job history forgets a job once printed: --wait takes it as printed.
forgetful_port=$(free_port)
"$sandbox" start "$forgetful" --listen "$forgetful_port" near-queue >/dev/null || fail "forgetful scheduler did not start"
sed -i 's/^PreserveJobHistory Yes$/PreserveJobHistory No/' "$forgetful/etc/cupsd.conf"
kill -HUP "$(cat "$forgetful/run/cupsd.child")"
for _ in $(seq 100); do CUPS_SERVER=$forgetful/cups.sock lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
for n in 1 2 3; do
  run print --wait -d "ipp://127.0.0.1:$forgetful_port/printers/near-queue" "$work/bytes.bin"
  check_eq "wait without job history, job $n" "$status:$(cat "$work/err")" "0:"
done
"$sandbox" wait "$forgetful" near-queue 3 60 || fail "forgetful queue received fewer than 3 jobs"
check_eq "jobs kept by the forgetful scheduler" "$(CUPS_SERVER=$forgetful/cups.sock lpstat -W completed -o)" ""

(( failures == 0 )) && echo "all IPP printer checks passed"
exit $(( failures > 0 ))
