#!/usr/bin/env bash
# planted_dlls.sh PREFIX SETUP.EXE PLANTED.DLL IMPORT_PROBE.EXE
# Copies the setup into a download-like folder next to DLLs named like system
# libraries that it uses (or the platform might make it use), prefers native
# DLLs, runs it until its first window shows, and fails when any planted DLL
# was loaded. The probe, which imports msimg32 statically, must load its copy.
set -uo pipefail
prefix=$1 setup=$2 planted=$3 probe=$4
here=$(cd "$(dirname "$0")/../../../scripts" && pwd)
. "$here/wine-env.sh"
"$here/wine-prefix.sh" "$prefix" "$(basename "$prefix")" || exit 1
export WINEPREFIX=$prefix
# Not version.dll or zlib1.dll: Wine's own user32 imports them, so Wine would
# take a planted copy whatever the setup does.
names="msimg32 gdiplus comctl32 uxtheme dwmapi cryptbase"

dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
mkdir "$dir/setup" "$dir/probe"
cp "$setup" "$dir/setup/Setup.exe"; cp "$probe" "$dir/probe/probe.exe"
for n in $names; do cp "$planted" "$dir/setup/$n.dll"; done
cp "$planted" "$dir/probe/msimg32.dll"
export WINEDLLOVERRIDES="$(echo $names | tr ' ' ',')=n,b;mscoree,mshtml="

run() {
  (cd "$dir/probe" && wine probe.exe); probe_rc=$?
  (cd "$dir/setup" && wine Setup.exe) & pid=$!
  # Wait for the setup's first window (its imports are all resolved by then).
  for _ in $(seq 1 ${PLANTED_WAIT_SECONDS:-400}); do
    xwininfo -root -tree 2>/dev/null | grep -q "Korvo" && break
    kill -0 $pid 2>/dev/null || break
    sleep 1
  done
  shown=0; xwininfo -root -tree 2>/dev/null | grep -q 'Korvo' && shown=1
  wineserver -k; wait $pid 2>/dev/null
  echo "probe exit $probe_rc, setup window shown: $shown"
  [ $shown -eq 1 ] || { echo "FAIL: the setup never showed its window"; return 1; }
}
[ -n "${DISPLAY:-}" ] || export DISPLAY=$("$here/xvfb-display.sh" 78)
wineserver -p 900 </dev/null >/dev/null 2>&1
run || exit 1

# The marker takes the name in the letter case the loader used.
loaded() { ls "$1" | grep -qix "$2.dll.loaded"; }
loaded "$dir/probe" msimg32 || { echo "FAIL: the probe did not load its planted msimg32.dll: the check proves nothing here"; exit 1; }
fail=0
for n in $names; do
  if loaded "$dir/setup" "$n"; then echo "FAIL: Setup.exe loaded the planted $n.dll"; fail=1; fi
done
[ $fail -eq 0 ] && echo "no planted DLL was loaded"
exit $fail
