#!/usr/bin/env bash
# The core's benchmark on the host build (optimised, no sanitizers), then the Windows program
# under Wine against the floor, then both in a few lines. `make bench` builds what this needs.
set -euo pipefail
cd "$(dirname "$0")/.."
build/bench/bench/core_bench --benchmark_out=build/bench/core_bench.json --benchmark_out_format=json
python3 bench/wine_bench.py --build build/win64 --work build/bench-wine "$@"
python3 bench/summary.py build/bench/core_bench.json build/bench-wine/results.json
