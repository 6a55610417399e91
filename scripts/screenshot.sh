#!/usr/bin/env bash
# Makes the README's pictures of the media catalogue window and of a page
# of the standard media report: builds the program, fills a sample
# collection in a temporary data folder and saves the window and the
# report's first page under a virtual X server (Xvfb).
#   scripts/screenshot.sh [window.png [report.png]]
#   defaults docs/catalogue.png and docs/report-standard.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs/catalogue.png}
report=${2:-$here/docs/report-standard.png}
mkdir -p "$(dirname "$out")" "$(dirname "$report")"
"$here/scripts/setup.sh" "$here/build"
if ! command -v xvfb-run >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xvfb xauth
fi
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" "$here/build/bin/catalogue_screenshot" "$out" "$report"
