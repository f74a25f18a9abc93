#!/usr/bin/env bash
# Installs the sample application into a Wine prefix under build/demo and removes it again with
# build/win32/uninst.exe, printing the machine's state before and after.
set -euo pipefail
cd "$(dirname "$0")"
exec python3 run_demo.py "$@"
