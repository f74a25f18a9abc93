#!/usr/bin/env bash
# The core's benchmark on the host build (optimised, no sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
build/bench/bench/core_bench
