#!/usr/bin/env bash
# rawlet.exe on a queue of Wine's spooler, which hands each job to a private CUPS scheduler
# and forgets it: the status of the queue, and a job waited for, which can then only be
# called delivered, with every byte reaching the queue's device.
#
#   command-queue.sh x86|x64 PATH/rawlet.exe
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1"
cp "$2" "$WORK/rawlet.exe"

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" Receipts | tail -1)"
rawlet() { LC_ALL=en_US.UTF-8 timeout 60 "$WINE" "$(winpath "$WORK/rawlet.exe")" "$@" 2>&1 | tr -d '\r'; }

# The queue's name in another letter case finds it.
status=0
output=$(rawlet status -d receipts) || status=$?
[[ $status -eq 0 ]] || fail "status exited with $status: $output"
[[ $output == "Receipts: ready, idle, accepting jobs, 0 jobs waiting [scheduler;"* ]] || fail "status said: $output"

# A direct printer named like the queue takes its place, in the list too.
printf 'RECEIPTS socket://127.0.0.1:9\r\n' >"$WORK/printers.conf"
output=$(RAWLET_PRINTERS=$(winpath "$WORK/printers.conf") rawlet printers --long) || fail "printers: $output"
[[ $(grep -ci '^receipts ' <<<"$output") -eq 1 && $output == *"RECEIPTS"*direct*"socket://127.0.0.1:9"* ]] ||
  fail "the printers named Receipts: $output"

for i in $(seq 0 255); do printf "\\x$(printf %02x "$i")"; done >"$WORK/receipt.bin"
output=$(rawlet print --wait --wait-timeout 30 -d Receipts "$(winpath "$WORK/receipt.bin")") || status=$?
[[ $status -eq 0 ]] || fail "print --wait exited with $status: $output"
[[ $output == "rawlet: Receipts-1: delivered to the printer's port"* ]] || fail "print --wait said: $output"
expect Receipts "$(hex "$WORK/receipt.bin")"
echo "PASS"
