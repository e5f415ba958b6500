#!/usr/bin/env bash
# wine-test.sh PREFIX PROGRAM [ARGS...] — runs a Windows test program in a
# prefix, on the caller's display or on a private Xvfb.
set -uo pipefail
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/wine-prefix.sh" "$prefix" "$(basename "$prefix")" || exit 1
if [ -e "$prefix/.unavailable" ]; then
  echo "SKIPPED: no 32-bit Wine prefix on this machine (32-bit code runs under qemu emulation); set WINE_RUN_WIN32=1 to try anyway"
  exit 77
fi
export WINEPREFIX=$prefix
[ -n "${DISPLAY:-}" ] || export DISPLAY=$("$here/xvfb-display.sh" 77)
# One server (and its background services) for the whole test run: starting
# them is slow where 32-bit code runs emulated.
wineserver -p 900 </dev/null >/dev/null 2>&1
# Wine's background services inherit the standard handles of the program
# that started them and outlive it: give them a file, not the caller's pipe,
# so that whoever reads our output sees its end when the program ends.
out=$(mktemp); trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1; rc=$?
cat "$out"
exit $rc
