"""The languages of the catalogue as the Wine runs see them: each file's tag, code page and texts,
and the Unix locale that gives a Wine process that language for its dialogs and its code page."""

import dataclasses
import pathlib
import re

from .families import Family

TEXTS = pathlib.Path(__file__).resolve().parents[3] / "src" / "language" / "texts"

# Python's codec for each ANSI code page that a language file names.
ENCODINGS = {1250: "cp1250", 1251: "cp1251", 1252: "cp1252", 1253: "cp1253", 1254: "cp1254", 1255: "cp1255",
             1256: "cp1256", 874: "cp874", 932: "cp932", 936: "gbk", 949: "cp949", 950: "cp950"}

# Wine 8 takes both the UI language and the ANSI code page from the locale.
LOCALES = {"en": "en_US.UTF-8", "de": "de_DE.UTF-8", "fr": "fr_FR.UTF-8", "es": "es_ES.UTF-8",
           "it": "it_IT.UTF-8", "pt-BR": "pt_BR.UTF-8", "nl": "nl_NL.UTF-8", "pl": "pl_PL.UTF-8",
           "ru": "ru_RU.UTF-8", "ja": "ja_JP.UTF-8", "zh-CN": "zh_CN.UTF-8", "zh-TW": "zh_TW.UTF-8",
           "ko": "ko_KR.UTF-8", "da": "da_DK.UTF-8", "fi": "fi_FI.UTF-8", "nb": "nb_NO.UTF-8",
           "sv": "sv_SE.UTF-8", "pt-PT": "pt_PT.UTF-8", "ca": "ca_ES.UTF-8", "cs": "cs_CZ.UTF-8",
           "hu": "hu_HU.UTF-8", "sk": "sk_SK.UTF-8", "sl": "sl_SI.UTF-8", "uk": "uk_UA.UTF-8",
           "el": "el_GR.UTF-8", "tr": "tr_TR.UTF-8", "th": "th_TH.UTF-8",
           "he": "he_IL.UTF-8", "ar": "ar_SA.UTF-8"}

_ESCAPES = {"r": "\r", "n": "\n", '"': '"', "\\": "\\"}


@dataclasses.dataclass
class LanguageFile:
    tag: str
    code_page: int
    texts: dict

    @property
    def encoding(self):
        return ENCODINGS[self.code_page]

    def family(self):
        """A family of the NT prefix whose processes see this language and its code page."""
        if self.tag not in LOCALES:
            raise RuntimeError(f"no Unix locale for the language {self.tag}: add one to LOCALES in {__file__}")
        locale = LOCALES[self.tag]
        return Family(f"nt-{self.tag}", None, locale=locale, encoding=self.encoding, messages=locale,
                      prefix_of="nt")

    def text(self, name, **pieces):
        """A text with its pieces put in, as the program shows it."""
        return re.sub(r"\{(\w+)\}", lambda m: pieces[m.group(1)], self.texts[name])


def _unescape(quoted):
    return re.sub(r"\\(.)", lambda m: _ESCAPES.get(m.group(1), m.group(0)), quoted)


def read(path):
    headers, texts = {}, {}
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if line.startswith("@"):
            name, _, value = line[1:].partition(" ")
            headers[name] = value.strip()
        elif (found := re.fullmatch(r'(\w+)\s+"(.*)"', line)):
            texts[found.group(1)] = _unescape(found.group(2))
    return LanguageFile(headers["tag"], int(headers["codepage"]), texts)


def all_languages():
    """Every language file, English first."""
    files = sorted((read(p) for p in TEXTS.glob("*.txt")), key=lambda f: f.tag)
    return sorted(files, key=lambda f: f.tag != "en")
