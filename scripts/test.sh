#!/usr/bin/env bash
# Sets up, builds and runs every test. Windows are tested offscreen; the
# desktop tests (label "desktop") then run in a second pass on an Xvfb
# screen with openbox, started here and stopped at exit.
#   scripts/test.sh                 normal build in build/
#   scripts/test.sh --sanitize      AddressSanitizer + UBSan build in build-asan/
#                                   (also when TVN_SANITIZE=1)
#   scripts/test.sh --desktop-only  only the desktop pass
#   scripts/test.sh --no-build      runs what is built, without set-up and build
#                                   (scripts/desktop-soak.sh builds once, then
#                                   runs the suite again and again)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
sanitize=${TVN_SANITIZE:-0}
desktop_only=0
build_first=1
for a in "$@"; do
  case "$a" in
    --sanitize) sanitize=1 ;;
    --desktop-only) desktop_only=1 ;;
    --no-build) build_first=0 ;;
    *) echo "unknown argument: $a" >&2; exit 2 ;;
  esac
done
# The desktop pass needs an X server and a window manager; the file
# checks run the standard sqlite3 shell, and read PDF and HTML output with
# qpdf and html5lib.
export TVN_EXTRA_PACKAGES="xvfb xauth openbox x11-utils sqlite3 qpdf python3-html5lib"
if [ "$sanitize" = 1 ]; then
  build=$here/build-asan
  [ "$build_first" = 1 ] && TVN_BUILD_TYPE=Debug "$here/scripts/setup.sh" "$build" -DTVN_SANITIZE=ON -DTVN_BUILD_BENCH=OFF
else
  build=$here/build
  [ "$build_first" = 1 ] && "$here/scripts/setup.sh" "$build"
fi
export QT_QPA_PLATFORM=offscreen
# Leaks are reported for our own code; the font libraries Qt loads keep
# their caches until exit on purpose.
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0"
# Tests must never touch the user's own data or settings.
export TAVOLIN_HOME="$(mktemp -d)"
export XDG_CONFIG_HOME="$TAVOLIN_HOME/.config"
xvfb_pid=
wm_pid=
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$TAVOLIN_HOME"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cd "$build"

# Prints the failing tests' output first, the summary line last.
report() {
  grep -v -E '^(100% tests passed|[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+)$' "$1" || true
  grep -E '^([0-9]+% tests passed.*)$|^No tests were found' "$1" | tail -n 1
}

rc=0
if [ "$desktop_only" = 0 ]; then
  set +e
  ctest --output-on-failure --parallel "$(nproc)" --timeout 600 -LE desktop > ctest.log 2>&1
  rc=$?
  set -e
  report ctest.log
fi

# The desktop pass: a screen of its own, with a window manager.
fail_desktop() { echo "desktop tests: $*" >&2; exit 1; }
command -v Xvfb >/dev/null || fail_desktop "Xvfb is not installed"
command -v openbox >/dev/null || fail_desktop "openbox is not installed"
# Xvfb picks a free display itself and writes its number once it takes
# connections: other test runs on the same machine may be starting screens
# of their own at the same moment. The waits are long for a loaded machine.
rm -f desktop-display
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3> desktop-display > desktop-xvfb.log 2>&1 &
xvfb_pid=$!
for _ in $(seq 600); do
  [ -s desktop-display ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
n=$(head -n 1 desktop-display 2>/dev/null || true)
[ -n "$n" ] || fail_desktop "Xvfb did not start (see $build/desktop-xvfb.log)"
export DISPLAY=":$n"
export QT_QPA_PLATFORM=xcb
# openbox owns the screen's window-manager selection once it runs. On a
# machine busy with other screens it has been seen to end at once; it is
# started again, a few times, before the pass gives up.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for attempt in 1 2 3; do
  openbox > "desktop-openbox-$attempt.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 600); do
    wm_up && break
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
  done
  wm_up && break
  kill "$wm_pid" 2>/dev/null || true
  wait "$wm_pid" 2>/dev/null || true
  echo "desktop tests: openbox attempt $attempt did not start (see $build/desktop-openbox-$attempt.log)" >&2
done
wm_up || fail_desktop "openbox did not start (see $build/desktop-openbox-*.log)"
set +e
# One at a time: the windows share one screen and its focus. The bounds
# are generous: on a loaded machine a case takes longer but must pass.
timeout 900 ctest --output-on-failure --timeout 180 -L desktop > ctest-desktop.log 2>&1
drc=$?
set -e
report ctest-desktop.log
grep -q '^No tests were found' ctest-desktop.log && drc=1
[ "$drc" -ne 0 ] && rc=$drc
# One closing line over both passes.
total=0; failed=0
logs="ctest-desktop.log"
[ "$desktop_only" = 0 ] && logs="ctest.log $logs"
for log in $logs; do
  [ -f "$log" ] || continue
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  [ -n "$line" ] || continue
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  total=$((total + t)); failed=$((failed + f))
done
echo "total: $((total - failed)) passed, $failed failed"
exit $rc
