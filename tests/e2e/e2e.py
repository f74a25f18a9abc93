#!/usr/bin/env python3
"""Command line of the Wine scenarios, as ctest calls it.

  e2e.py --build DIR --work DIR setup FAMILY      make the family's prefix (a ctest fixture)
  e2e.py --build DIR --work DIR run FAMILY NAME   run one scenario in that prefix
  e2e.py --build DIR --work DIR layout            measure every language's texts in their dialogs
  e2e.py --build DIR --work DIR cleanup           stop the servers and the display
  e2e.py list                                     print FAMILY NAME PREFIX for every scenario, PREFIX
                                                  being the family whose prefix it runs in
"""

import argparse
import sys
import time

from harness.families import FAMILIES
from harness.runner import Runner, ScenarioFailed
from harness.session import Session
from harness.text_fit import check_layout
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
    parser.add_argument("command", choices=["setup", "run", "layout", "cleanup", "list"])
    parser.add_argument("family", nargs="?")
    parser.add_argument("name", nargs="?")
    args = parser.parse_args()
    if args.command == "list":
        for scenario in ALL:
            for family in scenario.families:
                print(family, scenario.name, FAMILIES[family].prefix_family)
        return 0
    session = Session(args.work, args.build)
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
