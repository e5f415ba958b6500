#!/usr/bin/env bash
# xvfb-display.sh N — makes sure a private X server runs on display :N (started
# once, shared by later runs so that Wine's desktop process keeps its display)
# and prints ":N".
set -euo pipefail
n=${1:-77}
if ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
  setsid nohup Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
  for _ in $(seq 1 50); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    sleep 0.1
  done
fi
echo ":$n"
