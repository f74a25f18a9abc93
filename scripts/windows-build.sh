#!/usr/bin/env bash
# Which Windows build the Wine runs (scenarios, demo, benchmark) use: the shipped 32-bit build in
# 32-bit prefixes wherever this machine runs 32-bit programs, else the x86-64 build of the same
# sources. Some kernels refuse i386 programs ("Exec format error"), and Wine's 32-bit loader is one.
#   windows-build.sh            prints the build folder, relative to the repository
#   windows-build.sh note WHAT  prints one line when WHAT falls back to the x86-64 build
#   windows-build.sh note-wow64 prints one line when the WoW64 families cannot run
set -euo pipefail

runs_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

case "${1:-}" in
    "")
        if runs_32bit; then echo build/win32; else echo build/win64; fi
        ;;
    note)
        runs_32bit || echo "NOTE: this machine cannot run 32-bit programs, so ${2:-the Wine run} uses the x86-64 build (build/win64), not the shipped 32-bit build/win32."
        ;;
    note-wow64)
        runs_32bit || echo "NOTE: the WoW64 families (win7-64, win10-64) are skipped: they run the shipped 32-bit build under WoW64, and this machine's kernel refuses 32-bit programs."
        ;;
    *)
        echo "usage: windows-build.sh [note WHAT | note-wow64]" >&2
        exit 2
        ;;
esac
