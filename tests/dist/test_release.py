#!/usr/bin/env python3
"""The release zip as make dist packs it: its files, its programs byte for byte the checked build,
its sums, the version resource read from the files, the same zip from the same files whatever
their times, and a refusal where the build and the version line disagree. Then the host
checker's version and its install step.

Usage: test_release.py --build WIN32_BUILD --source REPO --work DIR --host-build HOST_BUILD
                       --host-checker PROGRAM
"""

import argparse
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(os.path.dirname(HERE))
PACK = os.path.join(REPOSITORY, "scripts", "pack_release.py")
sys.path.insert(0, os.path.join(REPOSITORY, "scripts"))
import version_resource  # noqa: E402

PROGRAMS = ["uninst.exe", "uninst-check.exe"]
DOCUMENTS = ["CHANGELOG.md", "LICENSE", "README.md", "docs/setup-inf.md"]

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what)


def pack(build, source, out):
    return subprocess.run([sys.executable, PACK, "--build", build, "--source", source, "--out", out],
                          capture_output=True, text=True)


def version_line(source):
    with open(os.path.join(source, "VERSION"), encoding="ascii") as line:
        return line.read().strip()


def read(path):
    with open(path, "rb") as source:
        return source.read()


def fixed_numbers(program):
    """File and product version found by the fixed information's signature alone, without the
    resource directories that the reader walks: a second opinion on the reader."""
    at = program.find(struct.pack("<I", version_resource.FIXED_INFO_SIGNATURE))
    if at < 0:
        return None
    numbers = struct.unpack_from("<4I", program, at + 8)
    return ["%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)
            for most, least in (numbers[0:2], numbers[2:4])]


def check_contents(zip_path, build, source, version):
    folder = "uninst-%s/" % version
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        expect(names == sorted(folder + name for name in PROGRAMS + DOCUMENTS + ["SHA256SUMS"]),
               "the zip's files: %s" % names)
        members = {name[len(folder):]: archive.read(name) for name in names if name.startswith(folder)}
        expect(len({entry.date_time for entry in archive.infolist()}) == 1, "one time for every file")

    for name in PROGRAMS:
        expect(members.get(name) == read(os.path.join(build, name)),
               "%s in the zip is not the checked build's file" % name)
    for name in DOCUMENTS:
        expect(members.get(name) == read(os.path.join(source, name)),
               "%s in the zip is not the repository's" % name)

    listed = {}
    for line in members.get("SHA256SUMS", b"").decode("ascii").splitlines():
        found = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
        expect(found is not None, "SHA256SUMS line %r" % line)
        if found:
            listed[found.group(2)] = found.group(1)
    expect(sorted(listed) == sorted(PROGRAMS + DOCUMENTS), "SHA256SUMS names %s" % sorted(listed))
    for name, digest in listed.items():
        expect(name in members and hashlib.sha256(members[name]).hexdigest() == digest,
               "the sum of %s" % name)

    for name in PROGRAMS:
        program = members.get(name, b"")
        resource = version_resource.read_version(program)
        print("%s in the zip: file version %s, product version %s, strings %s" % (
            name, resource["FileVersion#"], resource["ProductVersion#"], resource["strings"]))
        numbers = version + ".0"
        expect([resource["FileVersion#"], resource["ProductVersion#"]] == [numbers, numbers],
               "%s: version numbers %s, %s" % (
                   name, resource["FileVersion#"], resource["ProductVersion#"]))
        expect(fixed_numbers(program) == [numbers, numbers],
               "%s: fixed information %s" % (name, fixed_numbers(program)))
        expect(resource["strings"] != {}, "%s: no version strings" % name)
        for strings in resource["strings"].values():
            expect(strings.get("FileVersion") == version and strings.get("ProductVersion") == version,
                   "%s: version texts %s" % (name, strings))
            expect(strings.get("OriginalFilename") == name,
                   "%s: named %s" % (name, strings.get("OriginalFilename")))


def copy_tree(files, source, target):
    for name in files:
        os.makedirs(os.path.dirname(os.path.join(target, name)), exist_ok=True)
        shutil.copyfile(os.path.join(source, name), os.path.join(target, name))


def with_other_times(build, source, work):
    """The same files under other times, as another checkout and build of one commit has them."""
    other_build = os.path.join(work, "other-build")
    other_source = os.path.join(work, "other-source")
    copy_tree(PROGRAMS, build, other_build)
    copy_tree(DOCUMENTS + ["VERSION"], source, other_source)
    for folder in (other_build, other_source):
        for root, _, names in os.walk(folder):
            for name in names:
                os.utime(os.path.join(root, name), (1234567890, 1234567890))
    return other_build, other_source


def check_refusals(build, source, work):
    """A version line that the programs do not carry, and one the CHANGELOG has no entry for."""
    _, other_source = with_other_times(build, source, work)
    with open(os.path.join(other_source, "VERSION"), "w", encoding="ascii") as line:
        line.write("9.8.7\n")
    out = os.path.join(work, "refused")
    refused = pack(build, other_source, out)
    expect(refused.returncode != 0 and "CHANGELOG.md has no heading '## 9.8.7" in refused.stderr,
           "a version without a CHANGELOG entry: %d %s" % (refused.returncode, refused.stderr))
    with open(os.path.join(other_source, "CHANGELOG.md"), "a", encoding="utf-8") as changelog:
        changelog.write("\n## 9.8.7 - 2030-01-02\n")
    refused = pack(build, other_source, out)
    mismatch = "FileVersion is %s.0, the version line 9.8.7" % version_line(source)
    expect(refused.returncode != 0 and mismatch in refused.stderr,
           "programs of another version: %d %s" % (refused.returncode, refused.stderr))
    expect(not os.path.exists(out) or os.listdir(out) == [], "a refused release leaves files: %s" % (
        os.listdir(out) if os.path.exists(out) else None))


def check_host_checker(host_build, checker, work, version):
    shown = subprocess.run([checker, "--version"], capture_output=True, text=True)
    expect(shown.returncode == 0 and shown.stdout == "uninst-check %s\n" % version,
           "uninst-check --version: %d %r" % (shown.returncode, shown.stdout))
    prefix = os.path.join(work, "prefix")
    installed = subprocess.run(["cmake", "--install", host_build, "--prefix", prefix],
                               capture_output=True, text=True)
    expect(installed.returncode == 0, "cmake --install: %s" % installed.stderr)
    program = os.path.join(prefix, "bin", "uninst-check")
    expect(os.access(program, os.X_OK), "no %s after cmake --install" % program)
    if os.access(program, os.X_OK):
        shown = subprocess.run([program, "--version"], capture_output=True, text=True)
        expect(shown.stdout == "uninst-check %s\n" % version,
               "the installed checker says %r" % shown.stdout)


def main():
    parser = argparse.ArgumentParser()
    for name in ("--build", "--source", "--work", "--host-build", "--host-checker"):
        parser.add_argument(name, required=True)
    arguments = parser.parse_args()
    build, source, work = arguments.build, arguments.source, arguments.work
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    version = version_line(source)
    expect(re.fullmatch(r"\d+\.\d+\.\d+", version) is not None, "VERSION holds %r" % version)
    zips = []
    for run in ("first", "second"):
        packed = pack(build, source, os.path.join(work, run))
        print(packed.stdout + packed.stderr)
        expect(packed.returncode == 0, "the %s packing failed" % run)
        zips.append(os.path.join(work, run, "uninst-%s.zip" % version))
    other_build, other_source = with_other_times(build, source, work)
    packed = pack(other_build, other_source, os.path.join(work, "other-times"))
    expect(packed.returncode == 0,
           "the packing of the same files under other times failed: " + packed.stderr)
    zips.append(os.path.join(work, "other-times", "uninst-%s.zip" % version))

    if all(os.path.exists(path) for path in zips):
        check_contents(zips[0], build, source, version)
        expect(read(zips[0]) == read(zips[1]), "two packings of one build differ")
        expect(read(zips[0]) == read(zips[2]), "the same files under other times give another zip")
    else:
        expect(False, "a zip is missing: %s" % [path for path in zips if not os.path.exists(path)])
    check_refusals(build, source, os.path.join(work, "refusals"))
    check_host_checker(arguments.host_build, arguments.host_checker, work, version)

    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
