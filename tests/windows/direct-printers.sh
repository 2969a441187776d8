#!/usr/bin/env bash
# Rawlet.ocx under Wine printing from VBScript to a direct printer of printers.conf (the file
# RAWLET_PRINTERS names), a loopback AppSocket printer on the host; the bytes it received
# are checked once the script has ended.
#
#   direct-printers.sh x86|x64 PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
here=$(cd "$(dirname "$0")" && pwd)
wine_setup "$1"
cp "$2" "$WORK/Rawlet.ocx"
trap 'status=$?; "$SCRIPTS/lib/fake-printer" stop "$WORK/kitchen"; wine_cleanup "$status"' EXIT

port=$("$SCRIPTS/lib/fake-printer" start normal "$WORK/kitchen")
printf 'Kitchen socket://127.0.0.1:%s?timeout=5\r\nLabels ipp://127.0.0.1/ipp/print\r\n' "$port" \
  >"$WORK/printers.conf"
RAWLET_PRINTERS=$(winpath "$WORK/printers.conf")
export RAWLET_PRINTERS

sys regsvr32.exe /s "$(winpath "$WORK/Rawlet.ocx")" || fail "regsvr32 failed"
cat "$here/vbscript/check.vbs" "$here/direct/kitchen.vbs" >"$WORK/kitchen.vbs"
output=$(timeout 120 "$WINE" "$SYSDIR\\cscript.exe" //nologo "$(winpath "$WORK/kitchen.vbs")" 2>&1) ||
  fail "kitchen.vbs ended with status $?: $output"
printf '%s\n' "$output" | tr -d '\r'
printf '%s\n' "$output" | tr -d '\r' | grep -qx done || fail "kitchen.vbs did not finish"

[[ -f $WORK/kitchen/job-1.bin && ! -e $WORK/kitchen/job-2.bin ]] || fail "the printer did not receive one job"
[[ $(hex "$WORK/kitchen/job-1.bin") == "$(text 'Table 4')0d0a00ff" ]] ||
  fail "the printer received $(hex "$WORK/kitchen/job-1.bin")"
echo "PASS"
