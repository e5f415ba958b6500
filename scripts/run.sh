#!/usr/bin/env bash
# run.sh SETUP.EXE — starts the setup under Wine (ACP 936) in a prefix of the
# build tree. Without a display it runs on a private Xvfb and saves a
# screenshot to build/screenshot.png after a few seconds.
set -euo pipefail
exe=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
build=$(dirname "$exe")
. "$here/wine-env.sh"
export WINEPREFIX=$build/wine/run
"$here/wine-prefix.sh" "$WINEPREFIX" win64
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi
shot=$build/screenshot.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wine "$1" & pid=$!
  sleep ${RUN_SECONDS:-8}
  import -window root "$2" 2>/dev/null || xwd -root -silent | convert xwd:- "$2"
  kill $pid 2>/dev/null; wineserver -k 2>/dev/null; true' _ "$exe" "$shot"
echo "run: no display; screenshot saved to $shot"
