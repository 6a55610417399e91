#!/usr/bin/env bash
# Sets up, builds and runs every test. Windows are tested offscreen.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build in build-asan/
#                               (also when TVN_SANITIZE=1)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
sanitize=${TVN_SANITIZE:-0}
for a in "$@"; do
  case "$a" in
    --sanitize) sanitize=1 ;;
    *) echo "unknown argument: $a" >&2; exit 2 ;;
  esac
done
if [ "$sanitize" = 1 ]; then
  build=$here/build-asan
  TVN_BUILD_TYPE=Debug "$here/scripts/setup.sh" "$build" -DTVN_SANITIZE=ON -DTVN_BUILD_BENCH=OFF
else
  build=$here/build
  "$here/scripts/setup.sh" "$build"
fi
export QT_QPA_PLATFORM=offscreen
# Leaks are reported for our own code; the font libraries Qt loads keep
# their caches until exit on purpose.
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0"
# Tests must never touch the user's own data or settings.
export TAVOLIN_HOME="$(mktemp -d)"
export XDG_CONFIG_HOME="$TAVOLIN_HOME/.config"
trap 'rm -rf "$TAVOLIN_HOME"' EXIT
cd "$build"
set +e
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 > ctest.log 2>&1
rc=$?
set -e
# The failing tests' output first, the summary line last.
grep -v -E '^(100% tests passed|[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+)$' ctest.log || true
grep -E '^([0-9]+% tests passed.*)$' ctest.log | tail -n 1
exit $rc
