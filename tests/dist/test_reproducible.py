#!/usr/bin/env python3
"""The same bytes from the same sources: the Windows programs built twice, from two copies of the
source in two folders of other names and depths, must be identical to each other and to the
checked build, and their headers must carry the release's date from CHANGELOG.md (none for a
version without a dated entry), never the clock's time.

Usage: test_reproducible.py --build WIN32_BUILD --source REPO --work DIR
"""

import argparse
import calendar
import os
import shutil
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts"))
import pack_release  # noqa: E402

PROGRAMS = ["uninst.exe", "uninst-check.exe"]


def source_files(source):
    """The files of a checkout: tracked, and new ones not yet ignored."""
    listed = subprocess.run(["git", "-C", source, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            capture_output=True, check=True)
    return [name for name in listed.stdout.decode().split("\0") if name and os.path.isfile(os.path.join(source, name))]


def build_copy(files, source, copy):
    for name in files:
        os.makedirs(os.path.dirname(os.path.join(copy, name)) or copy, exist_ok=True)
        shutil.copy2(os.path.join(source, name), os.path.join(copy, name))
    for command in (["cmake", "--preset", "win32"],
                    ["cmake", "--build", "build/win32", "--target", "uninst", "uninst-check", "-j", "2"]):
        done = subprocess.run(command, cwd=copy, capture_output=True, text=True)
        if done.returncode != 0:
            sys.exit("%s failed in %s:\n%s%s" % (" ".join(command), copy, done.stdout[-3000:], done.stderr[-3000:]))
    return os.path.join(copy, "build", "win32")


def differences(a, b):
    if len(a) != len(b):
        return "sizes %d and %d" % (len(a), len(b))
    offsets = [i for i in range(len(a)) if a[i] != b[i]]
    return "%d bytes differ, first at %s" % (len(offsets), ", ".join("0x%X" % i for i in offsets[:8]))


def header_time(program):
    header = struct.unpack_from("<I", program, 0x3C)[0]
    return struct.unpack_from("<I", program, header + 8)[0]


def release_time(source):
    version = pack_release.read_version(source)
    try:
        date = pack_release.release_date(source, version)
    except pack_release.Refused:
        return 0
    return calendar.timegm(date[:3] + (0, 0, 0))


def main():
    parser = argparse.ArgumentParser()
    for name in ("--build", "--source", "--work"):
        parser.add_argument(name, required=True)
    arguments = parser.parse_args()
    shutil.rmtree(arguments.work, ignore_errors=True)

    files = source_files(arguments.source)
    started = time.monotonic()
    builds = [build_copy(files, arguments.source, os.path.join(arguments.work, "one", "uninst")),
              build_copy(files, arguments.source, os.path.join(arguments.work, "second", "deeper", "elsewhere"))]
    print("two builds in %.0f s" % (time.monotonic() - started))

    failures = []
    expected_time = release_time(arguments.source)
    for name in PROGRAMS:
        first, second, checked = (open(os.path.join(build, name), "rb").read()
                                  for build in builds + [arguments.build])
        if first != second:
            failures.append("%s: the two builds differ: %s" % (name, differences(first, second)))
        if first != checked:
            failures.append("%s: a rebuild differs from the checked build: %s" % (name, differences(first, checked)))
        if header_time(first) != expected_time:
            failures.append("%s: header time %d, the release's is %d" % (name, header_time(first), expected_time))
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        shutil.rmtree(arguments.work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
