# Shared by the Windows test scripts: a private Wine prefix per run, and the Wine loader
# for the control's architecture. Source it, then call wine_setup ARCH.
#
# Tests run with 64-bit Wine's own loader (/usr/lib/wine/wine64). 32-bit programs run
# with /usr/lib/wine/wine, and only where the kernel can execute 32-bit binaries: when it
# cannot, the 32-bit tests are skipped (exit status 77, which ctest reports as skipped).

readonly SKIP=77

fail() { echo "FAIL: $*" >&2; exit 1; }

# wine_setup ARCH [SCREEN]
# Sets WINE (the loader), SYSDIR (where the architecture's system programs live) and a
# fresh WINEPREFIX under WORK, which is removed with its wineserver on exit.
#
# A test whose programs open windows names a SCREEN size (such as 800x600): its private X
# screen starts before the prefix's first program. The prefix's desktop process picks its
# display driver when it starts, and the wineserver keeps it for a few seconds after the
# last program ends, so a desktop started without a screen would make every window of a
# program started within that time fail. Without SCREEN no program may open a window.
wine_setup() {
  local arch=$1 screen=${2:-}
  case $arch in
    x64) WINE=/usr/lib/wine/wine64; SYSDIR='C:\windows\system32' ;;
    x86) WINE=/usr/lib/wine/wine; SYSDIR='C:\windows\syswow64' ;;
    *) fail "unknown architecture $arch" ;;
  esac
  if ! "$WINE" --version >/dev/null 2>&1; then
    echo "SKIPPED: this machine cannot run $arch Windows programs ($WINE does not execute)"
    exit $SKIP
  fi
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/rawlet-wine.XXXXXX")
  chmod 0755 "$WORK" # the scheduler's backends run as lp and read the spool below
  export WINEPREFIX=$WORK/prefix WINEDEBUG=-all
  unset DISPLAY WAYLAND_DISPLAY # never wait for a screen the test did not ask for
  trap wine_cleanup EXIT
  [[ -z $screen ]] || start_screen "$screen"
  make_prefix || make_prefix || fail "wineboot could not make a prefix: $(tail -5 "$WORK/wineboot.log")"
}

# Makes the prefix, keeping wineboot's words. wineboot has been seen failing once at random on
# a loaded machine, with nothing of ours in the prefix yet: a failed attempt's prefix and its
# wineserver are removed, so the caller can try once more from nothing.
make_prefix() {
  /usr/lib/wine/wine64 wineboot -i >>"$WORK/wineboot.log" 2>&1 && return
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  return 1
}

# wine_cleanup [STATUS]: ends the test's Wine, scheduler and screen, and exits with STATUS (by
# default the status it was called after).
wine_cleanup() {
  local status=${1:-$?}
  [[ -n ${XVFB_PID:-} ]] && kill "$XVFB_PID" 2>/dev/null || true
  [[ -n ${CUPS_DIR:-} ]] && "$SCRIPTS/cups-sandbox" stop "$CUPS_DIR" || true
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  if [[ -n ${RAWLET_KEEP_TEST_FILES:-} ]]; then
    echo "kept: $WORK" >&2
  else
    rm -rf "$WORK"
  fi
  exit $status
}

# Starts a private X screen of SIZE and points DISPLAY at it; wine_cleanup stops it.
# Called by wine_setup only: see there why the screen must come first.
start_screen() {
  command -v Xvfb >/dev/null || fail "Xvfb is needed"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do [[ -s $WORK/display ]] && break; sleep 0.1; done
  [[ -s $WORK/display ]] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=:$(cat "$WORK/display")
}

# Bytes as hex: of a file, and of a text.
hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
text() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }

# QUEUE of the scheduler in CUPS_DIR must have received exactly the given jobs (hex), in
# order. The scheduler has every job once the client has ended; the device may still be busy.
expect() {
  local queue=$1; shift
  local submitted
  submitted=$(lpstat -W all -o "$queue" | grep -c . || true)
  [[ $submitted -eq $# ]] || fail "$queue: $submitted job(s) reached the scheduler, expected $#"
  (( $# == 0 )) && { echo "ok   $queue: no job"; return; }
  "$SCRIPTS/cups-sandbox" wait "$CUPS_DIR" "$queue" $# 60
  local n=1 want got
  for want in "$@"; do
    got=$(hex "$CUPS_DIR/devices/$queue/job-$n.bin")
    [[ $got == "$want" ]] || fail "$queue job $n: got $got, expected $want"
    n=$((n + 1))
  done
  echo "ok   $queue: $# job(s), bytes as expected"
}

# The Windows path of a file of ours.
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

# Runs a system program of the architecture (regsvr32, reg, cscript) with arguments.
# Wine takes its code pages from the locale's name (installed or not): en_US gives the
# ANSI code page 1252 and the OEM code page 437.
sys() { local program=$1; shift; LC_ALL=en_US.UTF-8 "$WINE" "$SYSDIR\\$program" "$@"; }

SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
