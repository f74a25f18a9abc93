#!/usr/bin/env bash
# Installs the sample application into a Wine prefix under build/demo and removes it again with
# the shipped build/win32/uninst.exe in a 32-bit prefix (build/win64, the x86-64 build of the same
# sources, where this machine runs no 32-bit programs), printing the state before and after.
set -euo pipefail
cd "$(dirname "$0")"
exec python3 run_demo.py "$@"
