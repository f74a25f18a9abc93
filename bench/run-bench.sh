#!/usr/bin/env bash
# The core's benchmark on the host build (optimised, no sanitizers), then the Windows program
# under Wine against the floor, then both in a few lines. `make bench` builds what this needs.
# The Wine part measures the shipped 32-bit build wherever this machine runs 32-bit programs,
# and the x86-64 build beside it in the same run, so that the two can be compared.
set -euo pipefail
cd "$(dirname "$0")/.."
build/bench/bench/core_bench --benchmark_out=build/bench/core_bench.json --benchmark_out_format=json
results=()
if [ "$(bash scripts/windows-build.sh)" = build/win32 ]; then
    python3 bench/wine_bench.py --build build/win32 --work build/bench-wine/win32 "$@"
    results+=(build/bench-wine/win32/results.json)
fi
python3 bench/wine_bench.py --build build/win64 --work build/bench-wine/win64 "$@"
results+=(build/bench-wine/win64/results.json)
python3 bench/summary.py build/bench/core_bench.json "${results[@]}"
