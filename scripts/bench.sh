#!/usr/bin/env bash
# Builds and runs the benchmark program (not part of CI).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
TVN_BUILD_TYPE=Release "$here/scripts/setup.sh" "$here/build-bench"
export QT_QPA_PLATFORM=offscreen
exec "$here/build-bench/bin/tvnbench" "$@"
