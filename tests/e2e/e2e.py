#!/usr/bin/env python3
"""Command line of the Wine scenarios, as ctest calls it.

  e2e.py --build DIR --work DIR setup FAMILY      make the family's prefix (a ctest fixture)
  e2e.py --build DIR --work DIR run FAMILY NAME   run one scenario in that prefix
  e2e.py --build DIR --work DIR layout            measure every language's texts in their dialogs
  e2e.py --build DIR --work DIR cleanup           stop the servers and the display
  e2e.py list                                     print FAMILY NAME PREFIX for every scenario, PREFIX
                                                  being the family whose prefix it runs in

The WoW64 families (win7-64, win10-64) run --wow64-build (build/win32 by default) in a 64-bit
prefix; where the kernel refuses 32-bit programs, their setup and runs print one SKIPPED line and
exit with 77, which ctest reports as skipped.
"""

import argparse
import pathlib
import sys
import time

from harness.families import FAMILIES
from harness.runner import Runner, ScenarioFailed
from harness.session import Session
from harness.text_fit import check_layout
from harness.wow64 import SKIPPED, skip_line
from scenarios import ALL


def by_name(name):
    for scenario in ALL:
        if scenario.name == name:
            return scenario
    raise SystemExit(f"no scenario named {name}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", help="the Windows build tree with uninst.exe and the helpers")
    parser.add_argument("--work", help="where prefixes and transcripts go")
    parser.add_argument("--wow64-build", default=pathlib.Path(__file__).resolve().parents[2] / "build" / "win32",
                        help="the shipped 32-bit build tree, which the WoW64 families run whatever --build is")
    parser.add_argument("command", choices=["setup", "run", "layout", "cleanup", "list"])
    parser.add_argument("family", nargs="?")
    parser.add_argument("name", nargs="?")
    args = parser.parse_args()
    if args.command == "list":
        for scenario in ALL:
            for family in scenario.families:
                print(family, scenario.name, FAMILIES[family].prefix_family)
        return 0
    wow64 = args.family in FAMILIES and FAMILIES[args.family].wow64
    if wow64 and args.command in ("setup", "run"):
        line = skip_line()
        if line:
            print(line)
            return SKIPPED
    session = Session(args.work, args.wow64_build if wow64 else args.build)
    if args.command == "setup":
        print(f"{args.family} prefix ready in {session.set_up(args.family):.1f} s")
        return 0
    if args.command == "cleanup":
        session.tear_down()
        return 0
    if args.command == "layout":
        notes, problems = check_layout(session)
        for line in notes:
            print(f"note: {line}")
        for line in problems:
            print(f"FAILED layout: {line}")
        return 1 if problems else 0
    session.program()
    started = time.monotonic()
    try:
        Runner(session, args.family).run_and_check(by_name(args.name))
    except ScenarioFailed as failure:
        print(f"FAILED {args.family}.{args.name}:\n{failure}")
        return 1
    print(f"passed {args.family}.{args.name} in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
