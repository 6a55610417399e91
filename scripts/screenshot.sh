#!/usr/bin/env bash
# Makes the README's pictures of the media catalogue window, of a page of
# the standard media report and of the game catalogue window: builds the
# program, fills sample collections in temporary data folders and saves the
# windows and the report's first page under a virtual X server (Xvfb).
#   scripts/screenshot.sh [window.png [report.png [games.png]]]
#   defaults docs/catalogue.png, docs/report-standard.png and docs/games.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs/catalogue.png}
report=${2:-$here/docs/report-standard.png}
games=${3:-$here/docs/games.png}
mkdir -p "$(dirname "$out")" "$(dirname "$report")" "$(dirname "$games")"
"$here/scripts/setup.sh" "$here/build"
if ! command -v xvfb-run >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xvfb xauth
fi
unset QT_QPA_PLATFORM
shot() { xvfb-run -a -s "-screen 0 1280x800x24" "$here/build/bin/tavolin_screenshot" "$@"; }
shot catalogue "$out" "$report"
shot games "$games"
