#!/usr/bin/env bash
# Runs a cross-built GoogleTest program under Wine, with a private CUPS scheduler whose raw
# queue "wintest" Wine's winspool lists; the program finds the queue's name in
# RAWLET_TEST_PRINTER, and every job it prints must reach the queue's device.
#
#   gtest-on-queue.sh x86|x64 PATH/PROGRAM.exe
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1"
cp "$2" "$WORK/program.exe"

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" wintest | tail -1)"
export RAWLET_TEST_PRINTER=wintest

LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$WORK/program.exe")" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
[[ $status -eq 0 ]] || fail "the test program ended with status $status"
echo "PASS"
