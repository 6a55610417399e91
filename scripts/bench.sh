#!/usr/bin/env bash
# Builds the benchmark program and only what it needs (no tests), then
# runs it (not part of CI). Arguments go to the benchmark program, e.g.
#   scripts/bench.sh --benchmark_filter=Report
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
TVN_BUILD_TYPE=Release TVN_BUILD_TARGETS=tvnbench \
  "$here/scripts/setup.sh" "$here/build-bench" -DTVN_BUILD_TESTS=OFF -DTVN_BUILD_BENCH=ON
export QT_QPA_PLATFORM=offscreen
exec "$here/build-bench/bin/tvnbench" "$@"
