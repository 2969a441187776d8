#!/usr/bin/env bash
# What printers say about themselves before a job: an ESC/POS printer asked in its own
# language, queues of a second scheduler reached over IPP, and print --check refusing a
# printer known not to be ready. Every run has a bound.
set -uo pipefail

source "$(dirname "$0")/../lib/cli.sh"
here=$(cd "$(dirname "$0")" && pwd)
remote=$work/remote
trap 'stop_fakes; "$sandbox" stop "$remote" >/dev/null 2>&1; rm -rf "$work"' EXIT
chmod 0755 "$work"
# Starts an ESC/POS printer in STATE and sets $uri to ask it in its language, without SNMP.
escpos() { start_fake "escpos:$1" "$1"; uri+="?snmp=off"; }

escpos paper-end
within 10 status -d "$uri+status=escpos"
check_eq "paper end" "$status:$(facts)" \
  "1:$uri+status=escpos: not ready, stopped (offline-report, media-empty-error, media-low-report), accepting jobs"
grep -q "\[transport, escpos; [0-9]* ms\]$" "$work/out" || fail "paper end provenance: $(cat "$work/out")"
escpos cover-open
within 10 status -d "$uri" --probe escpos
check_eq "cover open" "$status:$(facts)" "1:$uri: not ready, stopped (offline-report, door-open-error), accepting jobs"
escpos fine
within 10 status -d "$uri" --probe escpos --json
python3 -c 'import json, sys
[fine] = json.load(open(sys.argv[1]))
assert fine["ready"] and fine["state"] == "idle" and fine["reasons"] == [], fine
assert fine["sources"] == ["transport", "escpos"] and fine["unanswered"] == [], fine' "$work/out" \
  || fail "fine printer: $(cat "$work/out")"
# One that never answers is not broken: its state stays unknown, and says who kept quiet.
escpos silent
within 10 status -d "$uri" --probe escpos
check_eq "silent printer" "$status:$(facts)" "0:$uri: ready, state unknown, accepting jobs"
grep -q "; no answer: escpos; " "$work/out" || fail "silent provenance: $(cat "$work/out")"

# An AppSocket printer whose SNMP agent flags paper out and an open door (hrPrinterStatus
# idle, hrPrinterDetectedErrorState 0x48), and one whose agent flags nothing.
# Its community is its own: other tests that ask loopback printers at the same time, with
# the default one, get no answer from it.
new_queue snmp-device
device_uri="socket://127.0.0.1:$(cat "$RAWLET_SANDBOX/devices/snmp-device/port")?snmp=status-sources"
agent() {
  "$here/../lib/snmp-agent.sh" stop "$work/agent"
  "$here/../lib/snmp-agent.sh" start "$work/agent" 127.0.0.1:161 community=status-sources "$@"
}
trap 'stop_fakes; "$here/../lib/snmp-agent.sh" stop "$work/agent"; "$sandbox" stop "$remote" >/dev/null 2>&1; rm -rf "$work"' EXIT
# Its agent listens where printers' agents do, port 161, which only root may take.
if (( EUID == 0 )); then
  agent status=3 errors=0x48 'device-id=MFG:Acme;MDL:TM-42;CMD:ESC/POS;' || fail "no SNMP agent"
  within 10 status -d "$device_uri"
  check_eq "snmp paper out, door open" "$status:$(facts)" \
    "1:$device_uri: not ready, idle (media-empty-error, door-open-error), accepting jobs"
  grep -q "\[transport, snmp; Acme TM-42 (ESC/POS); [0-9]* ms\]$" "$work/out" || fail "snmp provenance: $(cat "$work/out")"
  agent status=3
  within 10 status -d "$device_uri"
  check_eq "snmp fine" "$status:$(facts)" "0:$device_uri: ready, idle, accepting jobs"
else
  echo "SNMP status not checked: port 161 needs root"
fi
"$here/../lib/snmp-agent.sh" stop "$work/agent"

# Queues of another scheduler, stopped and rejecting, asked over IPP.
port=$(free_port)
"$sandbox" start "$remote" --listen "$port" far-paused far-rejecting >/dev/null || fail "remote scheduler did not start"
CUPS_SERVER=$remote/cups.sock cupsdisable -r "paused for paper" far-paused
CUPS_SERVER=$remote/cups.sock cupsreject far-rejecting
within 20 status -d "ipp://127.0.0.1:$port/printers/far-paused"
check_eq "stopped over ipp" "$status:$(facts)" \
  "1:ipp://127.0.0.1:$port/printers/far-paused: not ready, stopped (paused), accepting jobs, 0 jobs waiting: paused for paper"
grep -q "\[transport, ipp; " "$work/out" || fail "ipp provenance: $(cat "$work/out")"
within 20 status -d "ipp://127.0.0.1:$port/printers/far-rejecting"
check_eq "rejecting over ipp" "$status:$(facts)" \
  "1:ipp://127.0.0.1:$port/printers/far-rejecting: not ready, idle, rejecting jobs, 0 jobs waiting: Rejecting Jobs"

# print --check: a printer known not to be ready gets nothing; a ready one prints.
new_queue check-paused
cupsdisable -r "Out of paper" check-paused
printf 'receipt\r\n' >"$work/receipt.txt"
within 20 print --check -d check-paused "$work/receipt.txt"
check_eq "check refuses" "$status:$(sed -E 's/ \[[^]]*\]$//' "$work/err")" \
  "1:rawlet: check-paused: not ready, stopped (paused), accepting jobs, 0 jobs waiting: Out of paper"
[[ -z $(lpstat -o check-paused 2>/dev/null) ]] || fail "print --check queued a job: $(lpstat -o check-paused)"
new_queue check-ready
within 20 print --check -d check-ready "$work/receipt.txt"
check_eq "check lets a ready printer print" "$status:$(cat "$work/err")" "0:"
"$sandbox" wait "$RAWLET_SANDBOX" check-ready 1 30 || fail "the ready queue received nothing"

(( failures == 0 )) && echo "all status source checks passed"
exit $(( failures > 0 ))
