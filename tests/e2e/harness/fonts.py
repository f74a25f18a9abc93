"""The fonts of the period's Japanese, Chinese, Korean, Greek, Hebrew, Arabic and Thai systems, as
Wine finds them here, for the runs of one language at a time in a shared prefix.

The program asks for the dialog face of a Japanese, Chinese or Korean system, which Wine lacks: it
is replaced by a font that Debian packages (scripts/install-deps.sh). Wine's own windows
(captions, message boxes) are given the same script's font, as those systems had. Only the
running language's faces are replaced: Wine links Tahoma to all four names, and a replaced one
would draw every Tahoma text.

Greek, Hebrew, Arabic and Thai dialogs keep "MS Sans Serif", which Wine has for their code pages,
but Wine's own Tahoma, the face of its captions and message boxes, lacks their letters; those
systems' Tahoma had them. Their runs give Wine's own windows a Debian font of the script instead.

"Large fonts" on Windows 98, 2000 and XP is a screen of 120 DPI instead of 96, which scales every
font and so every dialog. Windows 2000 and XP keep it in LogPixels under HARDWARE_PROFILE_FONTS;
Wine 8 reads it there too, once per process, unless USER_DPI (where later Windows keep a user's
own) has a value, which the runs therefore remove. A prefix is made with 96."""

import struct

# code page: (faces as the program names them, the font that Wine draws them with, its charset)
SCRIPT_FONTS = {
    932: (("MS UI Gothic",), "IPAPGothic", 128),
    936: (("SimSun", "\u5b8b\u4f53"), "AR PL UMing CN", 134),
    949: (("Gulim", "\uad74\ub9bc"), "NanumGothic", 129),
    950: (("PMingLiU", "\u65b0\u7d30\u660e\u9ad4"), "AR PL UMing TW", 136),
}
# code page: (the font of Wine's own windows, its charset), where the dialog face needs no stand-in.
SYSTEM_FONTS = {
    1253: ("DejaVu Sans", 161),
    1255: ("DejaVu Sans", 177),
    1256: ("DejaVu Sans", 178),
    874: ("Loma", 222),
}
REPLACEMENTS = r"HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements"
WINDOW_METRICS = r"HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics"
# The fonts of Wine's own windows, with the weight of each.
SYSTEM_FONT_NAMES = {"CaptionFont": 700, "SmCaptionFont": 700, "MenuFont": 400, "StatusFont": 400,
                     "MessageFont": 400, "IconFont": 400}
NINE_POINTS = -12
HARDWARE_PROFILE_FONTS = (r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current"
                          r"\Software\Fonts")
USER_DPI = r"HKEY_CURRENT_USER\Control Panel\Desktop"
NORMAL_DPI = 96
LARGE_DPI = 120
DPIS = (NORMAL_DPI, LARGE_DPI)


def _logfont(face, weight, charset):
    fields = struct.pack("<5l8B", NINE_POINTS, 0, 0, 0, weight, 0, 0, 0, charset, 0, 0, 0, 0)
    return "hex:" + ",".join(f"{b:02x}" for b in fields + face.encode("utf-16-le").ljust(64, b"\0"))


def language_fonts_reg(code_page, dpi=NORMAL_DPI):
    """A registry file for the runs of a language of this code page at this DPI: the replacement
    and the system font of its script, or none and Wine's defaults. In UTF-16, for the faces' own
    names."""
    font = SCRIPT_FONTS.get(code_page)
    system_font = (font[1], font[2]) if font else SYSTEM_FONTS.get(code_page)
    lines = ["Windows Registry Editor Version 5.00", "", f"[{REPLACEMENTS}]"]
    for faces, replacement, _ in SCRIPT_FONTS.values():
        lines += [f'"{face}"=' + (f'"{replacement}"' if font and face in font[0] else "-") for face in faces]
    lines += ["", f"[{WINDOW_METRICS}]"]
    lines += [f'"{name}"=' + (_logfont(system_font[0], weight, system_font[1]) if system_font else "-")
              for name, weight in SYSTEM_FONT_NAMES.items()]
    lines += ["", f"[{HARDWARE_PROFILE_FONTS}]", f'"LogPixels"=dword:{dpi:08x}']
    lines += ["", f"[{USER_DPI}]", '"LogPixels"=-']
    return "\ufeff".encode("utf-16-le") + "\r\n".join(lines + [""]).encode("utf-16-le")
