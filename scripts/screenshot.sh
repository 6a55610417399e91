#!/usr/bin/env bash
# Makes the README's picture of the media catalogue window: builds the
# program, fills a sample collection in a temporary data folder and saves
# the window under a virtual X server (Xvfb).
#   scripts/screenshot.sh [output.png]     default docs/catalogue.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs/catalogue.png}
mkdir -p "$(dirname "$out")"
"$here/scripts/setup.sh" "$here/build"
if ! command -v xvfb-run >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xvfb xauth
fi
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" "$here/build/bin/catalogue_screenshot" "$out"
