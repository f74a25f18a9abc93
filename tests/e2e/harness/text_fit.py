"""The layout check: the program's dialogs, built by measure_texts.exe from the program's own
sources in each language, under that language's code page, with every text measured in its
control's font (DrawText with DT_CALCRECT), at the normal size of 96 DPI and with large fonts
(120 DPI). A text is cut off where it needs more lines than its control holds, or is wider than
it; no language may be cut off more than English is at the same DPI, since Wine's fonts already
make the English subtitle wrap past its line."""

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
    """(the screen's DPI, {tag: {(dialog, text name): Fit}}) from the probe's lines."""
    first, *lines = text.splitlines()
    fits = {}
    for line in lines:
        tag, dialog, name, *numbers = line.split()
        fits.setdefault(tag, {})[(dialog, name)] = Fit(*map(int, numbers))
    return int(first.split()[1]), fits


def by_code_page(languages):
    """The languages in groups of one code page each, in their order: one probe run measures a group."""
    groups = {}
    for language in languages:
        groups.setdefault(language.code_page, []).append(language)
    return list(groups.values())


def measure(session, languages, dpi):
    """(the DPI the probe saw, the fits of each language's texts) for languages of one code page,
    from one run of the probe in the NT prefix under the first one's locale."""
    family = languages[0].family()
    ensure_locale(family)
    wine = Wine(session.work_dir / "nt" / "prefix", session.arch(), session.display(), family)
    wine.import_reg_file(fonts.language_fonts_reg(languages[0].code_page, dpi))
    report = session.work_dir / "layout" / f"{dpi}dpi" / f"cp{languages[0].code_page}.txt"
    report.parent.mkdir(parents=True, exist_ok=True)
    report.unlink(missing_ok=True)
    wine.run(windows_path_of(session.helper("measure_texts.exe")), windows_path_of(report),
             *(language.tag for language in languages))
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


def not_scaled(tag, normal, large):
    """The controls of a language that have no more room with large fonts than without: a control
    sized in pixels, not in dialog units, which the larger font would overflow."""
    return [f"{tag}: {' '.join(key)} has {fit.width}x{fit.height} px at {fonts.NORMAL_DPI} DPI and "
            f"{large[key].width}x{large[key].height} at {fonts.LARGE_DPI}"
            for key, fit in normal.items()
            if key in large and (large[key].width <= fit.width or large[key].height <= fit.height)]


def check_layout(session):
    """(notes, problems) of every language against English at each DPI, and of each language's
    controls at the two DPIs; the notes name the texts cut off no more than English, English among
    them. The probe's reports stay in the work folder."""
    languages = all_languages()
    shown = shown_texts(languages[0])
    notes, problems = [], []
    fits_at = {}
    try:
        for dpi in fonts.DPIS:
            fits = fits_at[dpi] = {}
            for group in by_code_page(languages):
                seen, group_fits = measure(session, group, dpi)
                if seen != dpi:
                    problems.append(f"cp{group[0].code_page}: measured at {seen} DPI instead of {dpi}")
                fits.update(group_fits)
            english = fits.get(languages[0].tag, {})
            at = f" at {dpi} DPI"
            notes += [f"en{at}: {' '.join(key)} {fit.describe()}" for key, fit in english.items() if is_cut(fit)]
            problems += [f"en{at}: {' '.join(key)} was not measured" for key in shown if key not in english]
            for language in languages[1:]:
                more_notes, more_problems = compare(language.tag + at, english, fits.get(language.tag, {}), shown)
                notes += more_notes
                problems += more_problems
    finally:
        # English's fonts at the normal size, so that the scenarios run in the prefix as it was made.
        Wine(session.work_dir / "nt" / "prefix", session.arch(), session.display(),
             languages[0].family()).import_reg_file(fonts.language_fonts_reg(languages[0].code_page))
    for language in languages:
        problems += not_scaled(language.tag, fits_at[fonts.NORMAL_DPI].get(language.tag, {}),
                               fits_at[fonts.LARGE_DPI].get(language.tag, {}))
    return notes, problems
