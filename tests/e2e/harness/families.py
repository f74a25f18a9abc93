"""The kinds of prefix that scenarios run in: the Windows family that a prefix reports, and the
ANSI code page in which its programs see text."""

import dataclasses
import subprocess
from typing import Optional


@dataclasses.dataclass(frozen=True)
class Family:
    name: str
    version: Optional[str]          # what HKCU\Software\Wine\Version says; None: NT 6.1
    locale: Optional[str] = None    # the Unix locale of every Wine call; it sets the ANSI code page
    encoding: str = "cp1252"        # that code page, for the bytes of files, registry imports, logs
    # The locale of the system's UI language (LC_MESSAGES); None leaves the caller's.
    messages: Optional[str] = None
    # Wine 8 takes the code page and the UI language from each process's locale, so a family that
    # differs only in them runs in another family's prefix instead of making its own.
    prefix_of: Optional[str] = None
    # A 64-bit prefix that runs the shipped 32-bit build under WoW64, whatever build the other
    # families run: there the program sees Program Files (x86), Wow6432Node and SysWOW64.
    wow64: bool = False

    def env(self):
        env = {"LANG": self.locale} if self.locale else {}
        if self.messages:
            env["LC_MESSAGES"] = self.messages
        return env

    @property
    def prefix_family(self):
        return self.prefix_of or self.name

    def locales(self):
        return {name for name in (self.locale, self.messages) if name}


# Code page 932 is where the second byte of a character can be a backslash; the program behaves
# alike in both families there, so the NT default serves.
FAMILIES = {
    "nt": Family("nt", None),
    "9x": Family("9x", "win98"),
    # Its UI language stays English, so that its scenarios see the described texts.
    "cp932": Family("cp932", None, locale="ja_JP.UTF-8", encoding="cp932", messages="en_US.UTF-8"),
    # The windows in the system's language: Japanese on its code page, German, Russian on 1251,
    # and a Japanese UI language over code page 1252, which the program cannot show.
    "ja": Family("ja", None, locale="ja_JP.UTF-8", encoding="cp932", messages="ja_JP.UTF-8", prefix_of="cp932"),
    "de": Family("de", None, locale="de_DE.UTF-8", messages="de_DE.UTF-8", prefix_of="nt"),
    "ru": Family("ru", None, locale="ru_RU.UTF-8", encoding="cp1251", messages="ru_RU.UTF-8", prefix_of="nt"),
    "ja-ui": Family("ja-ui", None, messages="ja_JP.UTF-8", prefix_of="nt"),
    "win7-64": Family("win7-64", "win7", wow64=True),
    "win10-64": Family("win10-64", "win10", wow64=True),
}


def installed_locales():
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True, check=True).stdout
    return {name.lower().replace("-", "") for name in listed.split()}


def ensure_locale(family):
    """Wine takes its code pages and UI language from the Unix locale, which a fresh machine may
    not have built; one that is missing would fall back to English without a word."""
    for locale in family.locales():
        if locale.lower().replace("-", "") in installed_locales():
            continue
        language, _, charset = locale.partition(".")
        made = subprocess.run(["localedef", "-i", language, "-f", charset, locale], capture_output=True, text=True)
        # localedef exits with 1 for mere warnings, so the list decides.
        if locale.lower().replace("-", "") not in installed_locales():
            raise RuntimeError(f"cannot make the locale {locale} (install the package 'locales', "
                               f"run as root): {made.stderr.strip()[-1000:]}")
