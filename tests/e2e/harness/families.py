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

    def env(self):
        return {"LANG": self.locale, "LC_ALL": self.locale} if self.locale else {}


# Code page 932 is where the second byte of a character can be a backslash; the program behaves
# alike in both families there, so the NT default serves.
FAMILIES = {
    "nt": Family("nt", None),
    "9x": Family("9x", "win98"),
    "cp932": Family("cp932", None, locale="ja_JP.UTF-8", encoding="cp932"),
}


def installed_locales():
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True, check=True).stdout
    return {name.lower().replace("-", "") for name in listed.split()}


def ensure_locale(family):
    """Wine takes its code pages from the Unix locale, which a fresh machine may not have built."""
    if not family.locale or family.locale.lower().replace("-", "") in installed_locales():
        return
    language, _, charset = family.locale.partition(".")
    made = subprocess.run(["localedef", "-i", language, "-f", charset, family.locale],
                          capture_output=True, text=True)
    # localedef exits with 1 for mere warnings, so the list decides.
    if family.locale.lower().replace("-", "") not in installed_locales():
        raise RuntimeError(f"cannot make the locale {family.locale} (install the package 'locales', "
                           f"run as root): {made.stderr.strip()[-1000:]}")
