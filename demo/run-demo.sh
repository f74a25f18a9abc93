#!/usr/bin/env bash
# Installs the sample application into a Wine prefix under build/demo and removes it again with
# build/win64/uninst.exe (the x86-64 build of the same program: this kernel runs no 32-bit Wine), printing the machine's state before and after.
set -euo pipefail
cd "$(dirname "$0")"
exec python3 run_demo.py "$@"
