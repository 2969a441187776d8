#!/usr/bin/env bash
# rawlet print --wait to direct printers that say themselves whether they printed: receipt
# and label printers that confirm after a while, run out of paper, or never answer, and an
# interruption while one is waited for. Every run has a bound and fails past it.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
export RAWLET_PRINTERS=$work/printers.conf

printf 'Total 23,30\r\n\x1dV\x01' >"$work/receipt.bin"
printf '^XA^FDone^FS^XZ^XA^FDtwo^FS^XZ' >"$work/labels.zpl"

# Starts a fake printer in MODE, named NAME in printers.conf, that speaks LANGUAGE, and
# whose silence ends the wait after 2 s.
printer() {
  start_fake "$1" "$2"
  echo "$2 $uri?snmp=off+status=$3+timeout=2" >>"$work/printers.conf"
}
# Runs rawlet for at most $1 seconds, as within does, and sets $took to the milliseconds it took.
timed() {
  local started
  started=$(date +%s%N)
  within "$@"
  took=$(( ($(date +%s%N) - started) / 1000000 ))
}
# Whether file $1 holds the bytes of file $2, then a process ID request (GS ( H, function 48,
# an ID of four bytes 32 to 126), then nothing but real-time status queries (DLE EOT 2).
holds_job_then_request() {
  python3 - "$1" "$2" <<'PY'
import re, sys
stored, job = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
sys.exit(0 if re.fullmatch(re.escape(job) + rb"\x1d\(H\x06\x00\x30\x30[\x20-\x7e]{4}(\x10\x04\x02)*", stored) else 1)
PY
}

# A receipt printer that prints for 1 s: printed, once it said so, and it got the job with
# the request after it.
printer escpos-prints:1 Receipts escpos
timed 20 print -d Receipts --wait "$work/receipt.bin"
check_eq "confirmed: status" "$status:$(cat "$work/err")" "0:"
(( took >= 1000 )) || fail "confirmed: returned after $took ms, before the printer said it had printed"
holds_job_then_request "$work/Receipts/job-1.bin" "$work/receipt.bin" \
  || fail "confirmed: the printer got $(od -An -tx1 "$work/Receipts/job-1.bin")"
# Without --wait it is asked nothing: it gets the job's bytes alone.
within 20 print -d Receipts "$work/receipt.bin"
check_eq "not waiting: status" "$status" 0
cmp -s "$work/receipt.bin" "$work/Receipts/job-2.bin" || fail "not waiting: the printer got more than the job"

# One that runs out of paper half a second into the job: unknown, with the reason.
printer escpos-paper-end:0.5 Kitchen escpos
timed 20 print -d Kitchen --wait "$work/receipt.bin"
check_eq "paper end: status" "$status" 3
grep -q "paper end" "$work/err" || fail "paper end: no reason: $(cat "$work/err")"
grep -q "may have printed" "$work/err" || fail "paper end: does not say what may have printed: $(cat "$work/err")"

# One that never answers: delivered (exit 0), once its silence (the URI's timeout) has
# passed, and the user is told it is no more than that.
printer normal Mute escpos
timed 20 print -d Mute --wait "$work/receipt.bin"
check_eq "mute: status" "$status:$(cat "$work/err")" \
  "0:rawlet: Mute ($uri?snmp=off+status=escpos+timeout=2): the printer had the job of 16 bytes but did not say it had printed it"
(( took >= 2000 && took < 8000 )) || fail "mute: took $took ms"

# Label printers: printed once no format waits and no label is left; paper out is unknown.
printer zpl-prints:1 Labels zpl
timed 20 print -d Labels --wait "$work/labels.zpl"
check_eq "zpl confirmed: status" "$status:$(cat "$work/err")" "0:"
(( took >= 1000 )) || fail "zpl confirmed: returned after $took ms, before the printer had printed"
printer zpl-paper-out:0.5 Shipping zpl
within 20 print -d Shipping --wait "$work/labels.zpl"
check_eq "zpl paper out: status" "$status" 3
grep -q "paper out" "$work/err" || fail "zpl paper out: no reason: $(cat "$work/err")"

# Ctrl-C while the printer is waited for: the command ends at once, saying the printer had
# the whole job.
printer escpos-prints:60 Slow escpos
timeout 20 "$rawlet" print -d Slow --wait "$work/receipt.bin" 2>"$work/err" &
command=$!
sleep 1.5
kill -INT "$command"
started=$(date +%s%N)
wait "$command"
check_eq "interrupted: status" "$?" 130
took=$(( ($(date +%s%N) - started) / 1000000 ))
(( took <= 2000 )) || fail "interrupted: took $took ms to end"
size=$(stat -c %s "$work/receipt.bin")
grep -q "interrupted: the printer had acknowledged $size of $size bytes and may print them" "$work/err" \
  || fail "interrupted: $(cat "$work/err")"

(( failures == 0 )) && echo "all printed confirmation checks passed"
exit $(( failures > 0 ))
