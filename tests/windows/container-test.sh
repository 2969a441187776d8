#!/usr/bin/env bash
# Runs the container test program under Wine on a private Xvfb screen (the ATL host makes
# windows), with the control registered (the host creates it by ProgID) and a private CUPS
# scheduler, then checks what each printer received.
#
#   container-test.sh x86|x64 PATH/rawlet_container_test.exe PATH/Rawlet.ocx
set -euo pipefail
source "$(dirname "$0")/../lib/wine.sh"
wine_setup "$1" 640x480
cp "$2" "$WORK/rawlet_container_test.exe"
cp "$3" "$WORK/Rawlet.ocx"

CUPS_DIR=$WORK/cups
export "$("$SCRIPTS/cups-sandbox" start "$CUPS_DIR" cload ctranslate cnotify crelease catl cstorage | tail -1)"
export RAWLET_TEST_DEVICES WINEDLLOVERRIDES=winemenubuilder.exe=d
RAWLET_TEST_DEVICES=$(winpath "$CUPS_DIR/devices")

sys regsvr32.exe /s "$(winpath "$WORK/Rawlet.ocx")" || fail "regsvr32 failed"
# Into a file, not a pipe: the prefix's desktop process would hold a pipe open.
status=0
LC_ALL=en_US.UTF-8 "$WINE" "$(winpath "$WORK/rawlet_container_test.exe")" "$(winpath "$WORK/Rawlet.ocx")" \
  >"$WORK/test.log" 2>&1 || status=$?
tr -d '\r' <"$WORK/test.log"
[[ $status -eq 0 ]] || fail "the test program ended with status $status"

expect cload                                  # loading never prints the saved text
expect ctranslate "8241"                      # é A, translated as the loaded setting asked
expect cnotify "$(text n)"
expect crelease "$(text released)"
expect catl "$(text 'printed from the ATL host')"
expect cstorage "$(text stored)"              # printed before the save, not at the load
echo "PASS"
