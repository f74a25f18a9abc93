#!/usr/bin/env python3
"""Reads a built Windows program and tells whether it would start on the systems and processors
we ship for: every import on the allowlist, nothing beyond the 486 in any function, the header
versions and alignment of Windows 95 and NT 4.0, and, for the shipped file, stripped and small.

Wine cannot see any of this: it exports every function of every Windows version and runs on
today's processors.

Usage: check_target.py PROGRAM [--symbols FILE [--largest N]] [--allowlist FILE] [--max-size BYTES]
                       [--english-only FILE --texts DIR [--per-language BYTES]] [--objdump TOOL] [--gui]
--symbols names the same program before stripping, so that findings name functions; its code
must be byte for byte the code of PROGRAM. --largest then prints its N largest symbols, so that
everyone sees where the bytes of the size limit go.
--english-only names the English-only build of PROGRAM: --max-size then applies to it, and PROGRAM
may be larger by --per-language bytes on average for each language file in --texts beside en.txt.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Mnemonics that the 486 does not know (objdump's AT&T spelling, size suffixes dropped). UD2 is
# left out: it exists to trap, and an older processor traps on it just the same.
BEYOND_486 = re.compile(
    r"^(cmov\w+|fcmov\w+|fcomip?|fucomip?|cmpxchg8b|cmpxchg16b|cpuid|rdtscp?|rdpmc|rdmsr|wrmsr|"
    r"sysenter|sysexit|syscall|sysret|nop[wl]|fxsave|fxrstor|ldmxcsr|stmxcsr|emms|femms|"
    r"prefetch\w*|[lsm]fence|clflush\w*|popcnt|lzcnt|tzcnt|movbe|xgetbv|xsave\w*|"
    r"monitor|mwait|rdrand|rdseed|crc32\w*)$")
# PAUSE is left out too: it is REP NOP, a plain NOP to older processors.
# Any MMX, SSE or AVX register in an operand.
VECTOR_REGISTER = re.compile(r"%[xyz]?mm\d")


# Tables that the MinGW linker places in the code section; their bytes are data, not instructions.
DATA_IN_CODE = {"__CTOR_LIST__", "__DTOR_LIST__", ".gcc_except_table"}


def run(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True,
                          errors="replace").stdout


def read_allowlist(path):
    allowed = set()
    with open(path, encoding="utf-8") as listing:
        for line in listing:
            line = line.split("#", 1)[0].strip()
            if line:
                dll, function = line.split()
                allowed.add((dll.upper(), function))
    return allowed


def imports_of(objdump, program):
    """(DLL in capitals, function name or '#ordinal') pairs of the import table."""
    found = []
    dll = None
    for line in run(objdump, "-p", program).splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).upper()
            continue
        entry = re.match(r"\s*[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$", line)
        if dll and entry:
            found.append((dll, entry.group(2)))
        elif dll and re.match(r"\s*[0-9a-fA-F]+\s+<none>\s+(\w+)", line):
            found.append((dll, "#" + line.split()[-1]))
        elif not line.strip() or line.startswith("The "):
            dll = None if line.startswith("The ") else dll
    return found


def header_fields(objdump, program):
    fields = {}
    for line in run(objdump, "-p", program).splitlines():
        parts = line.split()
        if len(parts) >= 2 and re.match(r"^[A-Za-z]+$", parts[0]):
            fields.setdefault(parts[0], parts[1])
    return fields


def mnemonic_of(instruction):
    words = instruction.split()
    while words and words[0] in ("lock", "rep", "repz", "repe", "repnz", "repne", "data16", "addr16",
                                 "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd"):
        words = words[1:]
    return words[0] if words else ""


def instructions_beyond_486(objdump, program):
    """{function: {mnemonic: count}} for every instruction that needs a later processor."""
    findings = {}
    function = "?"
    for line in run(objdump, "-d", "-w", "--no-show-raw-insn", program).splitlines():
        header = re.match(r"^[0-9a-f]+ <(.+)>:$", line)
        if header:
            function = header.group(1)
            continue
        body = re.match(r"^\s+[0-9a-f]+:\s+(.*)$", line)
        if not body:
            continue
        instruction = body.group(1).split("#", 1)[0].strip()
        mnemonic = mnemonic_of(instruction)
        bad = None
        if function in DATA_IN_CODE:
            continue
        if BEYOND_486.match(mnemonic):
            bad = mnemonic
        elif VECTOR_REGISTER.search(instruction):
            bad = mnemonic + " (vector register)"
        if bad:
            counts = findings.setdefault(function, {})
            counts[bad] = counts.get(bad, 0) + 1
    return findings


def code_bytes(objcopy, program):
    with tempfile.NamedTemporaryFile() as out:
        subprocess.run([objcopy, "-O", "binary", "--only-section=.text", program, out.name], check=True)
        return open(out.name, "rb").read()


STRING = "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >"
LINKER_MARK = re.compile(r"^(\.|_+\w*__$)")
VECTOR = re.compile(r"std::vector<(.+?), std::allocator<\1 ?> >")


def readable(name):
    """A demangled name with the standard library's default template arguments left out."""
    return VECTOR.sub(r"std::vector<\1>", name.replace(STRING, "std::string"))


def largest_symbols(nm, program, count):
    """The count largest symbols that take bytes in the file: (size, type letter, name).
    PE files record no symbol sizes; nm takes the distance to the next symbol."""
    symbols = []
    for line in run(nm, "--size-sort", "--print-size", "--demangle", program).splitlines():
        fields = line.split(None, 3)
        # Zero-filled data (b, B) takes no bytes of the file; section names and the linker's
        # marks (__data_start__, _end__) only mark places, and their distance to the next symbol
        # would be counted as theirs.
        if len(fields) == 4 and fields[2] not in "bB" and not LINKER_MARK.match(fields[3]):
            symbols.append((int(fields[1], 16), fields[2], readable(fields[3])))
    return sorted(symbols, reverse=True)[:count]


def size_by_language(size, english_size, options):
    """The English-only build within the limit, and what each language beside English adds."""
    faults = []
    languages = len([name for name in os.listdir(options.texts) if name.endswith(".txt") and name != "en.txt"])
    print(f"size: English-only build {english_size} bytes (at most {options.max_size})")
    if english_size > options.max_size:
        faults.append(f"size: the English-only build has {english_size} bytes, more than {options.max_size}")
    print(f"size: shipped build {size} bytes with {languages} languages beside English")
    if languages:
        cost = (size - english_size) / languages
        print(f"size: {size - english_size} bytes for the languages, {cost:.0f} per language "
              f"(at most {options.per_language})")
        if cost > options.per_language:
            faults.append(f"size: {cost:.0f} bytes per language, more than {options.per_language}")
    elif size != english_size:
        faults.append(f"size: the shipped build carries no language beside English, yet differs from the "
                      f"English-only build by {size - english_size} bytes")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--symbols")
    parser.add_argument("--allowlist", default=os.path.join(HERE, "allowed_imports.txt"))
    parser.add_argument("--max-size", type=int)
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--gui", action="store_true", help="the program must be a GUI program")
    parser.add_argument("--english-only")
    parser.add_argument("--texts", help="the folder of the language files that PROGRAM carries")
    parser.add_argument("--per-language", type=int, default=3072)
    parser.add_argument("--largest", type=int, default=0, help="print the N largest symbols of --symbols")
    options = parser.parse_args()

    faults = []
    allowed = read_allowlist(options.allowlist)
    imports = imports_of(options.objdump, options.program)
    by_dll = {}
    for dll, function in imports:
        by_dll.setdefault(dll, []).append(function)
        if (dll, function) not in allowed:
            faults.append(f"import not on the allowlist: {dll} {function}")
    print(f"imports of {os.path.basename(options.program)}:")
    for dll in sorted(by_dll):
        print(f"  {dll} ({len(by_dll[dll])}): {' '.join(sorted(by_dll[dll]))}")

    fields = header_fields(options.objdump, options.program)
    expected = {"MajorOSystemVersion": "4", "MinorOSystemVersion": "0", "MajorSubsystemVersion": "4",
                "MinorSubsystemVersion": "0", "SectionAlignment": "00001000"}
    if options.gui:
        expected["Subsystem"] = "00000002"
    for name, value in expected.items():
        if fields.get(name) != value:
            faults.append(f"header: {name} is {fields.get(name)}, not {value}")
    print("header: OS version {}.{}, subsystem version {}.{}, section alignment {}".format(
        fields.get("MajorOSystemVersion"), fields.get("MinorOSystemVersion"), fields.get("MajorSubsystemVersion"),
        fields.get("MinorSubsystemVersion"), fields.get("SectionAlignment")))

    if options.max_size is not None:
        size = os.path.getsize(options.program)
        if options.english_only:
            faults += size_by_language(size, os.path.getsize(options.english_only), options)
        else:
            print(f"size: {size} bytes (at most {options.max_size})")
            if size > options.max_size:
                faults.append(f"size: {size} bytes, more than {options.max_size}")
        if "no symbols" not in run(options.objdump, "-t", options.program):
            faults.append("not stripped: the file holds a symbol table")

    disassembled = options.program
    if options.symbols:
        objcopy = options.objdump.replace("objdump", "objcopy")
        if code_bytes(objcopy, options.symbols) != code_bytes(objcopy, options.program):
            faults.append(f"{options.symbols} does not hold the code of {options.program}")
        disassembled = options.symbols
        if options.largest:
            nm = options.objdump.replace("objdump", "nm")
            print(f"largest symbols of {os.path.basename(options.program)} (bytes, type, name):")
            for size, kind, name in largest_symbols(nm, options.symbols, options.largest):
                print(f"  {size:6} {kind} {name}")
    beyond = instructions_beyond_486(options.objdump, disassembled)
    for function in sorted(beyond):
        listed = ", ".join(f"{m} x{n}" for m, n in sorted(beyond[function].items()))
        faults.append(f"instruction beyond the 486 in {function}: {listed}")
    if not beyond:
        print("instructions: nothing beyond the 486")

    for fault in faults:
        print("FAULT: " + fault)
    print("check: " + ("failed" if faults else "passed"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
