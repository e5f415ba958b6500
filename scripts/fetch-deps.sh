#!/usr/bin/env bash
# Fetches the sources of minizip and the LZMA SDK from Debian into the ignored
# cache, once. Prints nothing when they are already there.
set -euo pipefail
cache=${1:-"$(cd "$(dirname "$0")/.." && pwd)/.cache/deps"}
mkdir -p "$cache"
cd "$cache"

fetch() { # source-package  marker-file-inside-the-tree
  local pkg=$1 marker=$2
  ls -d "$pkg"-*/ >/dev/null 2>&1 && [ -e "$(ls -d "$pkg"-*/ | head -1)$marker" ] && return 0
  echo "fetch-deps: apt-get source $pkg"
  rm -rf "$pkg"-*/
  apt-get source -q "$pkg" >/dev/null
}
fetch minizip unzip.c
fetch lzma C/LzmaDec.c
# Stable names for CMake.
ln -sfn "$(ls -d minizip-*/ | head -1)" minizip
ln -sfn "$(ls -d lzma-*/ | head -1)" lzma
