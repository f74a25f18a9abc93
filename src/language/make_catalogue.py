#!/usr/bin/env python3
"""Builds the language catalogue from the UTF-8 text files.

Reads every texts/<tag>.txt, checks each translation against
the English, converts each text to its language's code page, and writes:
  text_id.h          the TextId enum, in the order of en.txt
  --source           the languages' records: English as plain bytes, every other language packed
                     (LZSS) with the English block as the dictionary it may copy from
  --english-source   the records of the English-only build
Any fault stops the build with the file, the line and what is wrong.
"""

import argparse
import pathlib
import re
import sys
import unicodedata

# Windows ANSI code pages and the Python codecs whose tables match them for the characters a
# translation uses. Python's cp936 lacks the euro sign at 0x80 that Windows 936 has: a text that
# needs it fails the build instead of showing a wrong character.
CODECS = {1250: "cp1250", 1251: "cp1251", 1252: "cp1252", 1253: "cp1253", 1254: "cp1254", 1255: "cp1255", 1256: "cp1256", 874: "cp874", 932: "cp932",
          936: "gbk", 949: "cp949", 950: "cp950"}
# A piece stands in the stored text as one control byte, which no code page above uses inside a
# character (their trail bytes start at 0x40).
PIECES = ["app", "path", "line", "key", "code", "version"]
# The texts of one dialog whose accelerators must differ.
DIALOGS = [["ConfirmUninstallButton", "ConfirmExitButton", "ConfirmAboutMenu"], ["AboutOkButton"]]
HEADERS = ["language", "tag", "codepage", "langid"]
# Headers a file may leave out, with the value it then has.
OPTIONAL_HEADERS = {"direction": "ltr"}
DIRECTIONS = ["ltr", "rtl"]
ESCAPES = {"r": "\r", "n": "\n", '"': '"', "\\": "\\"}
LINE = re.compile(r'^([A-Za-z][A-Za-z0-9]*)\s+"(.*)"\s*$')
PIECE = re.compile(r"\{([^{}]*)\}")

# Packed form: a flag byte before every eight items, bit set for a literal byte, clear for a copy
# of two bytes: length - MIN_MATCH in the top LENGTH_BITS, distance - 1 in the rest.
MIN_MATCH = 3
LENGTH_BITS = 3
DISTANCE_BITS = 16 - LENGTH_BITS
MAX_MATCH = MIN_MATCH + (1 << LENGTH_BITS) - 1
MAX_DISTANCE = 1 << DISTANCE_BITS


class CatalogueError(Exception):
    pass


class LanguageFile:
    def __init__(self, path):
        self.path = path
        self.headers = {}
        self.texts = {}  # identifier -> (text, line number)
        self.order = []
        for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("@"):
                name, _, value = line[1:].partition(" ")
                if name not in HEADERS and name not in OPTIONAL_HEADERS:
                    self.fail(number, f"unknown header '@{name}'")
                self.headers[name] = value.strip()
                continue
            match = LINE.match(line)
            if not match:
                self.fail(number, "expected: Identifier \"text\"")
            identifier = match.group(1)
            if identifier in self.texts:
                self.fail(number, f"{identifier} appears twice")
            self.texts[identifier] = (self.unescape(match.group(2), number), number)
            self.order.append(identifier)
        for name in HEADERS:
            if not self.headers.get(name):
                raise CatalogueError(f"{path}: the header '@{name}' is missing")
        try:
            self.codepage = int(self.headers["codepage"])
            self.langids = [int(word, 16) for word in self.headers["langid"].split()]
        except ValueError as error:
            raise CatalogueError(f"{path}: bad @codepage or @langid ({error})")
        if self.codepage not in CODECS:
            raise CatalogueError(f"{path}: code page {self.codepage} is not one of {sorted(CODECS)}")
        self.tag = self.headers["tag"]
        direction = self.headers.get("direction", OPTIONAL_HEADERS["direction"])
        if direction not in DIRECTIONS:
            raise CatalogueError(f"{path}: @direction {direction} is not one of {DIRECTIONS}")
        self.right_to_left = direction == "rtl"

    def fail(self, number, what):
        raise CatalogueError(f"{self.path}:{number}: {what}")

    def unescape(self, text, number):
        result = []
        i = 0
        while i < len(text):
            char = text[i]
            if char == "\\":
                following = text[i + 1 : i + 2]
                if following not in ESCAPES:
                    self.fail(number, f"unknown escape '\\{following}'")
                result.append(ESCAPES[following])
                i += 2
                continue
            if char == '"':
                self.fail(number, 'a quote inside the text must be written \\"')
            if ord(char) < 32:
                self.fail(number, f"control character U+{ord(char):04X}")
            result.append(char)
            i += 1
        return "".join(result)

    def encoded(self, identifier):
        """The text in the code page, each piece as its control byte."""
        text, number = self.texts[identifier]
        codec = CODECS[self.codepage]
        out = bytearray()
        for part_number, part in enumerate(PIECE.split(text)):
            if part_number % 2:
                out.append(PIECES.index(part) + 1)
                continue
            if "{" in part or "}" in part:
                self.fail(number, f"{identifier}: a brace that opens or closes no piece")
            for char in part:
                try:
                    encoded = char.encode(codec, "strict")
                except UnicodeEncodeError:
                    name = unicodedata.name(char, "unnamed")
                    self.fail(number, f"{identifier}: '{char}' (U+{ord(char):04X} {name}) is not in code page "
                              f"{self.codepage}")
                if encoded.decode(codec) != char:
                    self.fail(number, f"{identifier}: '{char}' does not survive code page {self.codepage}")
                out += encoded
        return bytes(out)


def pieces_of(text):
    return sorted(PIECE.findall(text))


def accelerator(text):
    at = text.find("&")
    return text[at + 1 : at + 2].lower() if 0 <= at < len(text) - 1 else None


def check_against_english(language, english):
    for identifier, (text, number) in language.texts.items():
        if identifier not in english.texts:
            language.fail(number, f"{identifier} is no text of en.txt")
        english_text = english.texts[identifier][0]
        for piece in pieces_of(text):
            if piece not in PIECES:
                language.fail(number, f"{identifier}: unknown piece {{{piece}}}")
        if pieces_of(text) != pieces_of(english_text):
            language.fail(number, f"{identifier}: pieces {pieces_of(text)} differ from the English "
                          f"{pieces_of(english_text)}")
        for brk in ("\r", "\n"):
            if text.count(brk) != english_text.count(brk):
                language.fail(number, f"{identifier}: {text.count(brk)} line breaks {brk!r}, the English has "
                              f"{english_text.count(brk)}")
    missing = [identifier for identifier in english.order if identifier not in language.texts]
    if missing:
        raise CatalogueError(f"{language.path}: texts missing: {', '.join(missing)}")
    for dialog in DIALOGS:
        keys = [accelerator(language.texts[identifier][0]) for identifier in dialog]
        keys = [key for key in keys if key]
        if len(keys) != len(set(keys)):
            raise CatalogueError(f"{language.path}: the accelerators of {', '.join(dialog)} repeat: {keys}")


def block_of(language, order):
    return b"\0".join(language.encoded(identifier) for identifier in order) + b"\0"


def pack(data, dictionary):
    """LZSS with a preset dictionary: greedy longest match, one step of lazy evaluation."""
    buffer = dictionary + data
    starts = {}
    for position in range(len(dictionary)):
        starts.setdefault(buffer[position : position + MIN_MATCH], []).append(position)

    def longest(position):
        best_length, best_from = 0, 0
        for candidate in reversed(starts.get(buffer[position : position + MIN_MATCH], [])):
            if position - candidate > MAX_DISTANCE:
                break
            length = 0
            while (length < MAX_MATCH and position + length < len(buffer)
                   and buffer[candidate + length] == buffer[position + length]):
                length += 1
            if length > best_length:
                best_length, best_from = length, candidate
        return best_length, best_from

    def remember(position):
        starts.setdefault(buffer[position : position + MIN_MATCH], []).append(position)

    items = []
    position = len(dictionary)
    while position < len(buffer):
        length, source = longest(position)
        if length >= MIN_MATCH and position + 1 < len(buffer) and longest(position + 1)[0] > length:
            length = 0
        if length >= MIN_MATCH:
            items.append((length, position - source))
            for step in range(length):
                remember(position + step)
            position += length
        else:
            items.append(buffer[position])
            remember(position)
            position += 1

    out = bytearray()
    for group in range(0, len(items), 8):
        flags_at = len(out)
        out.append(0)
        for bit, item in enumerate(items[group : group + 8]):
            if isinstance(item, int):
                out[flags_at] |= 1 << bit
                out.append(item)
            else:
                length, distance = item
                token = ((length - MIN_MATCH) << DISTANCE_BITS) | (distance - 1)
                out += bytes((token & 0xFF, token >> 8))
    return bytes(out)


def unpack(packed, dictionary, size):
    """The decoder of language_packing.cpp, to prove each block before it is written."""
    out = bytearray(dictionary)
    at = 0
    while len(out) < len(dictionary) + size:
        flags = packed[at]
        at += 1
        for bit in range(8):
            if len(out) == len(dictionary) + size:
                break
            if flags & (1 << bit):
                out.append(packed[at])
                at += 1
            else:
                token = packed[at] | (packed[at + 1] << 8)
                at += 2
                distance = (token & (MAX_DISTANCE - 1)) + 1
                for _ in range((token >> DISTANCE_BITS) + MIN_MATCH):
                    out.append(out[len(out) - distance])
    return bytes(out[len(dictionary) :])


def c_bytes(data):
    lines = []
    for start in range(0, len(data), 24):
        lines.append("    " + ",".join(str(byte) for byte in data[start : start + 24]) + ",")
    return "\n".join(lines)


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def write_if_changed(path, text):
    if path.exists() and path.read_text(encoding="utf-8") == text:
        return
    path.write_text(text, encoding="utf-8")


def text_id_header(english):
    names = "\n".join(f"    {identifier}," for identifier in english.order)
    return (f"#pragma once\n// Generated by make_catalogue.py from en.txt: one identifier per text a person sees.\n\n"
            f"#include <cstddef>\n#include <cstdint>\n\nenum class TextId : std::uint8_t {{\n{names}\n}};\n\n"
            f"constexpr std::size_t kTextCount = {len(english.order)};\n")


def records_source(languages, english):
    english_block = block_of(english, english.order)
    arrays, records = [], []
    for index, language in enumerate(languages):
        block = block_of(language, english.order)
        if language is english:
            stored = block
        else:
            stored = pack(block, english_block)
            if unpack(stored, english_block, len(block)) != block:
                raise CatalogueError(f"{language.path}: the packed block does not unpack to itself")
        ids = ", ".join(f"0x{langid:04X}" for langid in language.langids)
        arrays.append(f"constexpr unsigned char kBlock{index}[] = {{\n{c_bytes(stored)}\n}};\n"
                      f"constexpr std::uint16_t kLangIds{index}[] = {{{ids}}};\n")
        records.append(f"    {{{c_string(language.tag)}, {language.codepage}, kLangIds{index}, {len(language.langids)}, "
                       f"kBlock{index}, sizeof(kBlock{index}), {len(block)}, {'false' if language is english else 'true'}, "
                       f"{'true' if language.right_to_left else 'false'}}},")
    return ("// Generated by make_catalogue.py from the language files.\n#include \"language/language_record.h\"\n\n"
            "namespace {\n\n" + "\n".join(arrays) + "\n}  // namespace\n\n"
            "const LanguageRecord kLanguageRecords[] = {\n" + "\n".join(records) + "\n};\n"
            "const std::size_t kLanguageRecordCount = sizeof(kLanguageRecords) / sizeof(kLanguageRecords[0]);\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("texts", type=pathlib.Path)
    parser.add_argument("--header", type=pathlib.Path, required=True)
    parser.add_argument("--source", type=pathlib.Path, required=True)
    parser.add_argument("--english-source", type=pathlib.Path, required=True,
                        help="the records of the English-only build")
    arguments = parser.parse_args()
    try:
        english = LanguageFile(arguments.texts / "en.txt")
        for identifier, (text, number) in english.texts.items():
            for piece in pieces_of(text):
                if piece not in PIECES:
                    english.fail(number, f"{identifier}: unknown piece {{{piece}}}")
        languages = [english]
        tags = {"en"}
        for path in sorted(arguments.texts.glob("*.txt")):
            if path.name == "en.txt":
                continue
            language = LanguageFile(path)
            if language.tag != path.stem:
                raise CatalogueError(f"{path}: @tag {language.tag} differs from the file's name")
            if language.tag.lower() in tags:
                raise CatalogueError(f"{path}: tag {language.tag} appears twice")
            tags.add(language.tag.lower())
            check_against_english(language, english)
            languages.append(language)
        check_against_english(english, english)
        arguments.header.parent.mkdir(parents=True, exist_ok=True)
        arguments.source.parent.mkdir(parents=True, exist_ok=True)
        write_if_changed(arguments.header, text_id_header(english))
        write_if_changed(arguments.source, records_source(languages, english))
        write_if_changed(arguments.english_source, records_source([english], english))
    except CatalogueError as error:
        print(f"language catalogue: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
