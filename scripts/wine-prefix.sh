#!/usr/bin/env bash
# wine-prefix.sh DIR win32|win64 — makes a fresh Wine prefix once.
set -euo pipefail
dir=$1 arch=$2
. "$(dirname "$0")/wine-env.sh"
[ -e "$dir/.ready" ] && [ ! -e "$dir/.unavailable" ] && exit 0
if [ "$arch" = win32 ] && win32_prefix_unavailable; then
  echo "wine-prefix: no 32-bit prefix on this machine (32-bit code runs emulated); its tests are skipped" >&2
  mkdir -p "$dir" && touch "$dir/.ready" "$dir/.unavailable"
  exit 0
fi
rm -f "$dir/.unavailable"
rm -rf "$dir"; mkdir -p "$(dirname "$dir")"
# A developer may keep ready-made prefixes to copy (WINE_GOLDEN_DIR/win32, /win64).
if [ -n "${WINE_GOLDEN_DIR:-}" ] && [ -e "$WINE_GOLDEN_DIR/$arch/system.reg" ]; then
  cp -a "$WINE_GOLDEN_DIR/$arch" "$dir" && touch "$dir/.ready" && exit 0
fi
export WINEPREFIX=$dir WINEARCH=$arch
wineboot -i >/dev/null 2>&1 || true
wineserver -w
[ -f "$dir/system.reg" ] || { echo "wine-prefix: could not make $dir" >&2; exit 1; }
touch "$dir/.ready"
