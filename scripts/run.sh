#!/usr/bin/env bash
# run.sh SETUP.EXE — starts the setup under Wine (ACP 936) in a prefix of the
# build tree. Without a display it runs on a private Xvfb and saves a
# screenshot to build/screenshot.png after a few seconds.
set -euo pipefail
exe=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
build=$(dirname "$exe")
. "$here/wine-env.sh"
export WINEPREFIX=$build/wine/win64
"$here/wine-prefix.sh" "$WINEPREFIX" win64
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi
export DISPLAY=$("$here/xvfb-display.sh" 79)
shot=$build/screenshot.png
wine "$exe" & pid=$!
# 32-bit programs start slowly where they run emulated: wait for the first
# window, then give it a moment to paint.
for _ in $(seq 1 ${RUN_WAIT_SECONDS:-300}); do
  xwininfo -root -tree 2>/dev/null | grep -q "Korvo" && break
  kill -0 $pid 2>/dev/null || break
  sleep 1
done
sleep 2
import -window root "$shot"
echo "run: no display; screenshot of display $DISPLAY saved to $shot"
echo "run: the setup keeps running there; stop it with: WINEPREFIX=$WINEPREFIX wineserver -k"
