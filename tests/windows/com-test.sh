#!/usr/bin/env bash
# Runs the cross-built type-library and dispatch test program under Wine, with the control
# registered and a private CUPS scheduler for the members that print, then checks what the
# printer received.
#
#   com-test.sh x86|x64 PATH/rawlet_com_test.exe PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1"
cp "$2" "$WORK/rawlet_com_test.exe"
cp "$3" "$WORK/Rawlet.ocx"

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" comtest | tail -1)"
export RAWLET_TEST_PRINTER=comtest

sys regsvr32.exe /s "$(winpath "$WORK/Rawlet.ocx")" || fail "regsvr32 failed"
LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$WORK/rawlet_com_test.exe")" "$(winpath "$WORK/Rawlet.ocx")" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
[[ $status -eq 0 ]] || fail "the test program ended with status $status"

# The default-member test's text, then the methods test's two pages and carriage return.
submitted=$(lpstat -W all -o comtest | grep -c . || true)
[[ $submitted -eq 2 ]] || fail "comtest: $submitted job(s) reached the scheduler, expected 2"
"$SCRIPTS/cups-sandbox" wait "$CUPS_DIR" comtest 2 60
[[ $(cat "$CUPS_DIR/devices/comtest/job-1.bin") == "assigned to the control itself" ]] ||
  fail "job 1: $(od -c "$CUPS_DIR/devices/comtest/job-1.bin")"
[[ $(od -An -c "$CUPS_DIR/devices/comtest/job-2.bin" | tr -s ' ') == " p a g e 1 p a g e 2 \r" ]] ||
  fail "job 2: $(od -c "$CUPS_DIR/devices/comtest/job-2.bin")"
echo "PASS"
