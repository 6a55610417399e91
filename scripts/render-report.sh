#!/usr/bin/env bash
# Renders the pages of a report document (*.vsr, saved from the report
# window) to PNG files, to look at a report without the program:
#   scripts/render-report.sh DOCUMENT [OUTPUT-FOLDER] [DPI]
# OUTPUT-FOLDER defaults to DOCUMENT's name without extension, DPI to 96.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ]; then
  echo "usage: $0 DOCUMENT [OUTPUT-FOLDER] [DPI]" >&2
  exit 2
fi
doc=$1
out=${2:-${doc%.*}}
dpi=${3:-96}
build=${TVN_BUILD_DIR:-$here/build}
if [ ! -x "$build/bin/tvnrender" ]; then
  "$here/scripts/setup.sh" "$build" >/dev/null
fi
cmake --build "$build" --target tvnrender >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/tvnrender" "$doc" "$out" "$dpi"
