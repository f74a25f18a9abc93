#!/usr/bin/env python3
"""Runs one test program of the Windows build in a family's prefix of the Wine scenarios and
passes on its output and exit status."""

import argparse
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "e2e"))

from harness.session import Session  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("family")
    parser.add_argument("program", help="relative to the build tree")
    options = parser.parse_args()
    session = Session(options.work, options.build)
    result = session.wine(options.family).run(str(session.windows_build / options.program), check=False)
    sys.stdout.write(result.stdout.decode(errors="replace"))
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
