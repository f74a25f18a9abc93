"""Text exchanged with the driver: bytes of the prefix's ANSI code page, in which the driver
escapes and unescapes every backslash byte, including the second byte of a double-byte character."""


def unescape(raw):
    """The bytes that the driver escaped (`\\n`, `\\r`, `\\\\`) as they were."""
    out, i = bytearray(), 0
    while i < len(raw):
        if raw[i] == 0x5C and i + 1 < len(raw):
            out += {ord("n"): b"\n", ord("r"): b"\r"}.get(raw[i + 1], raw[i + 1:i + 2])
            i += 2
        else:
            out.append(raw[i])
            i += 1
    return bytes(out)


def answer_line(text, encoding):
    """An answers-file line. The scenario escaped its own backslashes (see needle()), but a
    backslash byte inside a double-byte character is the encoding's, and must reach the driver
    escaped too, or it would swallow the byte after it."""
    out = bytearray()
    for character in text:
        encoded = character.encode(encoding)
        out += encoded.replace(b"\\", b"\\\\") if len(encoded) > 1 else encoded
    return bytes(out)
