"""The layout check: the program's dialogs, built by measure_texts.exe from the program's own
sources in each language, under that language's code page, with every text measured in its
control's font (DrawText with DT_CALCRECT). A text is cut off where it needs more lines than its
control holds, or is wider than it; no language may be cut off more than English is, since Wine's
fonts already make the English subtitle wrap past its line."""

import dataclasses

from . import fonts
from .families import ensure_locale
from .languages import all_languages
from .runner import windows_path_of
from .wine import Wine


@dataclasses.dataclass(frozen=True)
class Fit:
    needed_width: int
    needed_height: int
    width: int
    height: int
    line_height: int

    def lines_cut(self):
        needed = -(-self.needed_height // self.line_height)
        return max(0, needed - self.height // self.line_height)

    def width_over(self):
        return max(0, self.needed_width - self.width)

    def describe(self):
        return (f"needs {self.needed_width}x{self.needed_height} px, has {self.width}x{self.height} "
                f"(lines of {self.line_height})")


def read_report(text):
    """{(dialog, text name): Fit} from the probe's lines."""
    fits = {}
    for line in text.splitlines():
        dialog, name, *numbers = line.split()
        fits[(dialog, name)] = Fit(*map(int, numbers))
    return fits


def measure(session, language):
    """The fits of one language's texts, from the probe run in the NT prefix under its locale."""
    family = language.family()
    ensure_locale(family)
    wine = Wine(session.work_dir / "nt" / "prefix", session.arch(), session.display(), family)
    wine.import_reg_file(fonts.language_fonts_reg(language.code_page))
    report = session.work_dir / "layout" / f"{language.tag}.txt"
    report.parent.mkdir(parents=True, exist_ok=True)
    report.unlink(missing_ok=True)
    wine.run(windows_path_of(session.helper("measure_texts.exe")), language.tag, windows_path_of(report))
    return read_report(report.read_text())


def is_cut(fit):
    return fit.lines_cut() > 0 or fit.width_over() > 0


# The dialogs that show the catalogue's texts, by the texts' prefixes. Captions and the menu item
# are drawn by the system in its own font, so the probe does not measure them.
DIALOG_OF_PREFIX = {"Confirm": "confirmation", "About": "about", "Status": "progress"}
NOT_MEASURED = {"ConfirmCaption", "ConfirmAboutMenu", "AboutCaption"}


def shown_texts(language):
    """(dialog, text name) of every text of the catalogue that the dialogs show."""
    return sorted((dialog, name) for name in language.texts for prefix, dialog in DIALOG_OF_PREFIX.items()
                  if name.startswith(prefix) and name not in NOT_MEASURED)


def compare(tag, english, fits, shown):
    """(notes, problems): the texts cut off no more than English, and those cut off more. Every
    text of shown must have been measured in both: a report that leaves one out hides it."""
    notes, problems = [], []
    for key in shown:
        fit, base = fits.get(key), english.get(key)
        if fit is None:
            problems.append(f"{tag}: {' '.join(key)} was not measured")
        elif base is None:
            problems.append(f"{tag}: {' '.join(key)} has no English to compare with")
        elif fit.lines_cut() > base.lines_cut() or fit.width_over() > base.width_over():
            problems.append(f"{tag}: {' '.join(key)} {fit.describe()}; English {base.describe()}")
        elif is_cut(fit):
            notes.append(f"{tag}: {' '.join(key)} {fit.describe()}, cut off as the English is")
    return notes, problems


def check_layout(session):
    """(notes, problems) of every language against English; the notes name the texts cut off no
    more than English, English among them. The probe's reports stay in the work folder."""
    languages = all_languages()
    shown = shown_texts(languages[0])
    english = measure(session, languages[0])
    notes = [f"en: {' '.join(key)} {fit.describe()}" for key, fit in english.items() if is_cut(fit)]
    problems = [f"en: {' '.join(key)} was not measured" for key in shown if key not in english]
    try:
        for language in languages[1:]:
            more_notes, more_problems = compare(language.tag, english, measure(session, language), shown)
            notes += more_notes
            problems += more_problems
    finally:
        # English again, so that the prefix is left with no language's fonts for the scenarios.
        measure(session, languages[0])
    return notes, problems
