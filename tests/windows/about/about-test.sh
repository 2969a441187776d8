#!/usr/bin/env bash
# Runs the About box's test program under Wine on a private Xvfb screen, at the designed 96
# dots per inch and again at 144, keeps a screenshot of the dialog at each as an artefact,
# and checks the separator and the icon on them.
#
#   about-test.sh x86|x64 PATH/rawlet_about_test.exe PATH/rawlet_about_marker.exe SHOT.png SHOT-144DPI.png
set -euo pipefail
source "$(dirname "$0")/../../lib/wine.sh"
wine_setup "$1" 1024x768
shot=$4 shot144=$5
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
  wine_cleanup "$status"
}
trap about_cleanup EXIT

# The test program asks for the screenshot with one file and waits for the other.
request=$WORK/screenshot.request done=$WORK/screenshot.done
export RAWLET_SCREENSHOT_REQUEST RAWLET_SCREENSHOT_DONE RAWLET_EXPECTED_DPI WINEDLLOVERRIDES=winemenubuilder.exe=d
RAWLET_SCREENSHOT_REQUEST=$(winpath "$WORK")'\screenshot.request'
RAWLET_SCREENSHOT_DONE=$(winpath "$WORK")'\screenshot.done'

# Runs the test program (with ARGS) at DPI dots per inch, its screenshot going to SHOT. Wine
# reads its LogPixels setting when its processes start, from the user's desktop settings or
# else the machine's font settings: both are set, and the prefix's processes restarted.
run_at() {
  local dpi=$1 shot=$2 key status=0
  shift 2
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || fail "could not set $key"
  done
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
  rm -f "$shot" "$request" "$done"
  (
    while [[ ! -e $request ]]; do sleep 0.1; done
    import -window root "$shot" 2>"$WORK/import.log" || true
    touch "$done"
  ) &
  watcher_pid=$!
  # Into a file, not a pipe: the prefix's desktop process would hold a pipe open after the
  # test program has ended.
  RAWLET_EXPECTED_DPI=$dpi "$WINE" "$(winpath "$WORK/rawlet_about_test.exe")" "$@" \
    "$(winpath "$WORK/marker.exe")" >"$WORK/test.log" 2>&1 || status=$?
  kill "$watcher_pid" 2>/dev/null || true
  watcher_pid=
  tr -d '\r' <"$WORK/test.log"
  [[ $status -eq 0 ]] || fail "the test program ended with status $status at $dpi DPI"
  [[ -s $shot ]] || fail "no screenshot at $dpi DPI: $(cat "$WORK/import.log")"
  echo "screenshot at $dpi DPI: $shot"
}

# The colour of the pixel at X, Y of SHOT.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [[ $got == "$4" ]] || fail "$5: $got at ($2, $3) of $1, expected $4"
}

# At 96 DPI the dialog's client area opens at (156, 129): the grey line of the separator is
# its row 163, the white one below it row 164, and the printer's green lamp sits at (23, 14)
# of the icon at (16, 16).
run_at 96 "$shot"
expect_pixel "$shot" 300 292 "#808080" "separator's grey line"
expect_pixel "$shot" 300 293 "#FFFFFF" "separator's white line"
expect_pixel "$shot" 195 159 "#00C000" "printer icon's lamp"

# At 144 DPI everything is half as large again: the client area opens at (234, 194), the
# grey line is its row 245 and the white one starts below it; the icon, at (24, 24), has
# the lamp at (35, 21).
run_at 144 "$shot144" --gtest_filter='AboutDialogShown.*'
expect_pixel "$shot144" 450 439 "#808080" "separator's grey line at 144 DPI"
expect_pixel "$shot144" 450 440 "#FFFFFF" "separator's white line at 144 DPI"
expect_pixel "$shot144" 293 239 "#00C000" "printer icon's lamp at 144 DPI"
echo "PASS"
