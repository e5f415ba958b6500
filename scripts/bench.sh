#!/usr/bin/env bash
# bench.sh BUILD — builds and runs the benchmarks, then times a whole demo
# package extraction through pkgtool.
set -euo pipefail
build=$1
cmake --build "$build" --target package_bench >/dev/null
"$build/bench/package_bench" --benchmark_min_time=0.5
pkg=$build/win32/package/demo.pkg
if [ -f "$pkg" ]; then
  out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
  for m in x86 x64; do
    start=$(date +%s%N)
    "$build/pkgtool" extract "$pkg" "$out/$m" --machine $m >/dev/null
    echo "pkgtool extract demo package ($m): $(( ($(date +%s%N) - start) / 1000000 )) ms"
  done
fi
