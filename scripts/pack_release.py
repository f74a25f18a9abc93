#!/usr/bin/env python3
"""Packs the release zip from files already built and checked: uninst.exe and uninst-check.exe
of the 32-bit Windows build, the setup author's documents and their SHA256SUMS. `make dist`
builds and checks first, then calls this; the release test calls it alone, so that it never
rebuilds anything while other tests read the build.

Usage: pack_release.py --build BUILD_DIR --source SOURCE_DIR --out OUT_DIR

Writes OUT_DIR/uninst-<version>.zip, every file under the folder uninst-<version>/. The same
files give the same zip byte for byte: entries sorted, fixed attributes, and every file time set
to the release's date from the CHANGELOG, never the files' own times.
"""

import argparse
import hashlib
import os
import re
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import version_resource  # noqa: E402

# From the Windows build tree.
PROGRAMS = ("uninst.exe", "uninst-check.exe")
# From the repository, under the same names.
DOCUMENTS = ("README.md", "docs/setup-inf.md", "LICENSE", "CHANGELOG.md")
SUMS = "SHA256SUMS"
FILE_MODE = 0o100644


class Refused(Exception):
    """The files do not make a release."""


def read_version(source):
    with open(os.path.join(source, "VERSION"), encoding="ascii") as line:
        version = line.readline().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        raise Refused("VERSION holds %r, not MAJOR.MINOR.PATCH" % version)
    return version


def release_date(source, version):
    """The date of the version's CHANGELOG heading, '## 1.1.0 - 2026-12-08', as zip time."""
    with open(os.path.join(source, "CHANGELOG.md"), encoding="utf-8") as changelog:
        for line in changelog:
            found = re.match(r"^## %s\s+-\s+(\d{4})-(\d{2})-(\d{2})\s*$" % re.escape(version), line)
            if found:
                return tuple(int(part) for part in found.groups()) + (0, 0, 0)
    raise Refused("CHANGELOG.md has no heading '## %s - YYYY-MM-DD'" % version)


def check_program_version(path, version):
    """The version resource must carry the version line, in numbers and in every language's text."""
    try:
        found = version_resource.read_version_of(path)
    except version_resource.NoVersion as error:
        raise Refused("%s: %s" % (path, error))
    for name in ("FileVersion#", "ProductVersion#"):
        if found[name] != version + ".0":
            raise Refused("%s: %s is %s, the version line %s" % (path, name[:-1], found[name], version))
    if not found["strings"]:
        raise Refused("%s: the version resource holds no strings" % path)
    for strings in found["strings"].values():
        for name in ("FileVersion", "ProductVersion"):
            if strings.get(name) != version:
                raise Refused("%s: %s text is %r, the version line %s" % (
                    path, name, strings.get(name), version))


def gather(build, source, version):
    """{name in the zip: bytes}, SHA256SUMS included."""
    contents = {}
    for name in PROGRAMS:
        path = os.path.join(build, name)
        check_program_version(path, version)
        with open(path, "rb") as program:
            contents[name] = program.read()
    for name in DOCUMENTS:
        with open(os.path.join(source, name), "rb") as document:
            contents[name] = document.read()
    contents[SUMS] = "".join(
        "%s  %s\n" % (hashlib.sha256(contents[name]).hexdigest(), name) for name in sorted(contents)
    ).encode("ascii")
    return contents


def write_zip(path, folder, contents, date_time):
    # Written beside the target and renamed, so that a failed run leaves no half a zip.
    handle, scratch = tempfile.mkstemp(dir=os.path.dirname(path), suffix=".part")
    os.close(handle)
    try:
        with zipfile.ZipFile(scratch, "w") as archive:
            for name in sorted(contents):
                entry = zipfile.ZipInfo(folder + "/" + name, date_time=date_time)
                entry.create_system = 3
                entry.external_attr = FILE_MODE << 16
                entry.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(entry, contents[name], compresslevel=9)
        os.replace(scratch, path)
    except BaseException:
        os.unlink(scratch)
        raise


def pack(build, source, out):
    version = read_version(source)
    date_time = release_date(source, version)
    contents = gather(build, source, version)
    os.makedirs(out, exist_ok=True)
    folder = "uninst-" + version
    path = os.path.join(out, folder + ".zip")
    write_zip(path, folder, contents, date_time)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--build", required=True, help="the 32-bit Windows build tree")
    parser.add_argument("--source", required=True, help="the repository: VERSION and the documents")
    parser.add_argument("--out", required=True, help="where the zip goes")
    arguments = parser.parse_args()
    try:
        path = pack(arguments.build, arguments.source, arguments.out)
    except (Refused, OSError) as error:
        print("pack_release: no release: %s" % error, file=sys.stderr)
        return 1
    print(path)
    with zipfile.ZipFile(path) as archive:
        for entry in archive.infolist():
            year, month, day = entry.date_time[:3]
            print("%10d  %04d-%02d-%02d  %s" % (entry.file_size, year, month, day, entry.filename))
    return 0


if __name__ == "__main__":
    sys.exit(main())
