#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds Tavolin into a build folder.
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
# TVN_BUILD_TARGETS (space-separated) builds only those targets and what
# they need instead of everything.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
shift || true

packages=(build-essential cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libhunspell-dev libmythes-dev hunspell-en-us mythes-en-us fonts-liberation fonts-noto-cjk poppler-utils)
# The build makes the Han text fonts of PDFs from Noto CJK with fontTools.
packages+=(python3-fonttools)
# Reports print the other scripts collectors type (Arabic, Hebrew, Thai,
# the Indic scripts, Greek, Cyrillic, Armenian, Georgian, Ethiopic) with
# Noto's core fonts, emoji with Symbola; PDFs are rewritten with zlib.
packages+=(fonts-noto-core fonts-symbola zlib1g-dev)
# PDF text is read back in the tests as other readers read it: MuPDF,
# Ghostscript and pdf.js (from the npm registry, into the build folder).
packages+=(mupdf-tools ghostscript nodejs)
# A nodejs of its own brings npm; Debian's comes without.
command -v npm >/dev/null 2>&1 || packages+=(npm)
# The desktop tests, built with the others, ask the X server directly.
packages+=(libxcb1-dev)
# Callers add what only their path needs (the desktop tests' X server).
read -r -a extra <<< "${TVN_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# pdf.js for the tests, beside the build (build/pdfjs/node_modules/pdfjs-dist).
if [ ! -f "$build/pdfjs/node_modules/pdfjs-dist/legacy/build/pdf.mjs" ]; then
  mkdir -p "$build/pdfjs"
  npm install --prefix "$build/pdfjs" --no-audit --no-fund --loglevel=error pdfjs-dist@4 >/dev/null
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${TVN_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
targets=()
for t in ${TVN_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
