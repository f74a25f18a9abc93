"""The windows in the system's language: each scenario expects the texts of the language file
that the choice must take, read from src/language/texts, so the translations are not copied here."""

import pathlib
import sys

from harness.scenario import Expect, File, Scenario, Window

from .common import EXIT_CANCELLED, EXIT_COMPLETED, copy_ran_from_temp, needle, setup_inf
from .components import text_of

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "src" / "language"))
import make_catalogue  # noqa: E402

TEXTS = pathlib.Path(make_catalogue.__file__).resolve().parent / "texts"


def texts(tag, app_name):
    """The language's texts by identifier, with the application's name put in."""
    language = make_catalogue.LanguageFile(TEXTS / f"{tag}.txt")
    return {name: text.replace("{app}", app_name) for name, (text, _) in language.texts.items()}


def confirmation_in(text):
    return Window(text["ConfirmCaption"], texts=(text["ConfirmTitle"], text["ConfirmSubtitle"], text["ConfirmMessage"]),
                  buttons={1: text["ConfirmUninstallButton"], 2: text["ConfirmExitButton"]})


def logged(path, line):
    """The log, which stays English, says which language was chosen and why."""
    def check(result):
        text = text_of(result, path)
        return [] if text is not None and line in text else [f"{path} lacks {line!r}: {text!r}"]
    return check


def cancelled_in(name, tag, family, app_name, folder, arguments=(), english_not_shown=None, chosen=None):
    """The confirmation dialog in the language of `tag`, answered with Exit; the log says `chosen`."""
    text = texts(tag, app_name)
    no_window = (texts(english_not_shown, app_name)["ConfirmCaption"],) if english_not_shown else ()
    log = folder + ".log"
    return Scenario(
        name=name, app_name=app_name, app_folder=folder, families=(family,), arguments=(*arguments, f"/LOG={log}"),
        setup_inf=setup_inf(app_name, [r"%apppath%\keep.txt"]),
        files={folder + r"\keep.txt": File("kept")},
        answers=(f"click 2 once {needle(text['ConfirmCaption'])}",),
        expect=Expect(exit_code=EXIT_CANCELLED, windows=(confirmation_in(text),), no_window=no_window,
                      present=(folder + r"\keep.txt",),
                      checks=(logged(log, f"language: {chosen}"),) if chosen else ()),
    )


def completed_in(name, tag, family, app_name, folder):
    """A whole run in the language of `tag`: confirmation, progress window and its texts."""
    text = texts(tag, app_name)
    return Scenario(
        name=name, app_name=app_name, app_folder=folder, families=(family,),
        setup_inf=setup_inf(app_name, [r"%apppath%\one.txt", r"%apppath%\two.txt"]),
        files={folder + r"\one.txt": File("1"), folder + r"\two.txt": File("2")},
        answers=(f"click 1 once {needle(text['ConfirmCaption'])}",),
        expect=Expect(exit_code=EXIT_COMPLETED, copy_exit_code=EXIT_COMPLETED,
                      windows=(confirmation_in(text), Window(text["ProgressCaption"])),
                      statuses=(text["StatusFilesComplete"], text["StatusDirectoriesComplete"]),
                      absent=(folder + r"\one.txt", folder + r"\two.txt", folder + r"\UNINST"),
                      checks=(copy_ran_from_temp,)),
    )


SCENARIOS = [
    completed_in("language_japanese_system", "ja", "ja", "E2E Nihongo", r"C:\E2E\Nihongo"),
    cancelled_in("language_german_system", "de", "de", "E2E Deutsch", r"C:\E2E\Deutsch", english_not_shown="en",
                 chosen="de (system UI language 0x0407)"),
    cancelled_in("language_russian_system", "ru", "ru", "E2E Russkij", r"C:\E2E\Russkij", english_not_shown="en",
                 chosen="ru (system UI language 0x0419)"),
    # An ANSI program on code page 1252 cannot show Japanese: the described English stays.
    cancelled_in("language_japanese_ui_over_1252", "en", "ja-ui", "E2E JaUi", r"C:\E2E\JaUi",
                 chosen="en (system UI language 0x0411, but the code page 1252 cannot show ja)"),
    cancelled_in("language_switch_on_english_system", "de", "nt", "E2E LangDe", r"C:\E2E\LangDe",
                 arguments=("/LANG=de",), english_not_shown="en", chosen="de (/LANG=de)"),
]
