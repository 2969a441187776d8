#!/usr/bin/env bash
# Runs the About box's test program under Wine on a private Xvfb screen, keeps a screenshot
# of the dialog as an artefact, and checks the separator and the icon on it.
#
#   about-test.sh x86|x64 PATH/rawlet_about_test.exe PATH/rawlet_about_marker.exe SHOT.png
set -euo pipefail
source "$(dirname "$0")/../wine-lib.sh"
wine_setup "$1" 800x600
shot=$4
cp "$2" "$WORK/rawlet_about_test.exe"
cp "$3" "$WORK/marker.exe"
command -v import >/dev/null || fail "ImageMagick is needed"

# Wine draws the windows' frames itself: there is no window manager on this screen.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 ||
  fail "could not set up the prefix's X11 driver"

watcher_pid=
about_cleanup() {
  local status=$?
  [[ -n $watcher_pid ]] && kill "$watcher_pid" 2>/dev/null || true
  (exit $status)
  wine_cleanup
}
trap about_cleanup EXIT

# The test program asks for the screenshot with one file and waits for the other.
rm -f "$shot"
request=$WORK/screenshot.request done=$WORK/screenshot.done
export RAWLET_SCREENSHOT_REQUEST RAWLET_SCREENSHOT_DONE WINEDLLOVERRIDES=winemenubuilder.exe=d
RAWLET_SCREENSHOT_REQUEST=$(winpath "$WORK")'\screenshot.request'
RAWLET_SCREENSHOT_DONE=$(winpath "$WORK")'\screenshot.done'
(
  while [[ ! -e $request ]]; do sleep 0.1; done
  import -window root "$shot" 2>"$WORK/import.log" || true
  touch "$done"
) &
watcher_pid=$!

# Into a file, not a pipe: the prefix's desktop process would hold a pipe open after the
# test program has ended.
status=0
"$WINE" "$(winpath "$WORK/rawlet_about_test.exe")" "$(winpath "$WORK/marker.exe")" >"$WORK/test.log" 2>&1 ||
  status=$?
tr -d '\r' <"$WORK/test.log"
[[ $status -eq 0 ]] || fail "the test program ended with status $status"

# The dialog's client area opens at (156, 129): the grey line of the separator is its row
# 163, the white one below it row 164, and the printer's green lamp sits at (23, 14) of the
# icon at (16, 16).
[[ -s $shot ]] || fail "no screenshot: $(cat "$WORK/import.log")"
pixel() { convert "$shot" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
[[ $(pixel 300 292) == "#808080" ]] || fail "separator's grey line: $(pixel 300 292) at (300, 292)"
[[ $(pixel 300 293) == "#FFFFFF" ]] || fail "separator's white line: $(pixel 300 293) at (300, 293)"
[[ $(pixel 195 159) == "#00C000" ]] || fail "printer icon's lamp: $(pixel 195 159) at (195, 159)"
echo "screenshot: $shot"
echo "PASS"
