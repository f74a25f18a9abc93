#!/usr/bin/env bash
# Line and branch coverage of the host tests: builds build/coverage (g++ --coverage, no
# sanitizers), runs the tests labelled unit, then prints a table per folder of the core and leaves
# an HTML report in build/coverage/html/index.html.
# Branches that only exceptions take, and those the compiler adds where no source decides, are
# left out of the branch figures: they are no decision of the program.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/coverage
jobs=${JOBS:-2}

cmake --preset coverage -S "$root" >/dev/null
cmake --build "$build" -j "$jobs" --target unit_tests uninst-check
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -L unit -j "$jobs" --output-on-failure

rm -rf "$build/html"
mkdir -p "$build/html"
gcovr --root "$root" --object-directory "$build" --filter "$root/src/" -j "$jobs" \
      --exclude-throw-branches --exclude-unreachable-branches --exclude-directories ".*/CMakeFiles/[0-9][^/]*$" \
      --html-details "$build/html/index.html" --json-summary "$build/summary.json" --print-summary

python3 - "$build/summary.json" <<'EOF'
import json, sys

# The folders of the core as the team names them; the first that matches a file takes it.
folders = [
    ("app", "src/app/"),
    ("setupinfo", "src/setupinfo/"),
    ("phases", "src/phases/"),
    ("dialog", "src/dialog/"),
    ("platform/sim", "src/platform/sim/"),
    ("platform/plan", "src/platform/plan/"),
    ("check", "src/check/"),
    ("language", "src/language/"),
    ("text", "src/text/"),
]
totals = {name: [0, 0, 0, 0] for name, _ in folders}
for entry in json.load(open(sys.argv[1]))["files"]:
    for name, prefix in folders:
        if entry["filename"].startswith(prefix):
            t = totals[name]
            t[0] += entry["line_covered"]; t[1] += entry["line_total"]
            t[2] += entry["branch_covered"]; t[3] += entry["branch_total"]
            break

def percent(covered, total):
    return "%5.1f %%" % (100.0 * covered / total) if total else "    -  "

print("\n%-22s %16s %9s %16s %9s" % ("folder", "lines", "", "branches", ""))
all_ = [0, 0, 0, 0]
for name, _ in folders:
    t = totals[name]
    all_ = [a + b for a, b in zip(all_, t)]
    print("%-22s %7d / %6d %9s %7d / %6d %9s" % (name, t[0], t[1], percent(t[0], t[1]), t[2], t[3], percent(t[2], t[3])))
print("%-22s %7d / %6d %9s %7d / %6d %9s" % ("all", all_[0], all_[1], percent(all_[0], all_[1]), all_[2], all_[3], percent(all_[2], all_[3])))
EOF
echo "coverage: HTML report in $build/html/index.html"
