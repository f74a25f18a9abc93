"""The windows in the system's language: each scenario expects the texts of the language file
that the choice must take, read from src/language/texts, so the translations are not copied here."""

import pathlib
import sys

from harness.scenario import Expect, File, Scenario, Window

from .common import EXIT_CANCELLED, EXIT_COMPLETED, copy_ran_from_temp, needle, setup_inf

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


def cancelled_in(name, tag, family, app_name, folder, arguments=(), english_not_shown=None):
    """The confirmation dialog in the language of `tag`, answered with Exit."""
    text = texts(tag, app_name)
    no_window = (texts(english_not_shown, app_name)["ConfirmCaption"],) if english_not_shown else ()
    return Scenario(
        name=name, app_name=app_name, app_folder=folder, families=(family,), arguments=arguments,
        setup_inf=setup_inf(app_name, [r"%apppath%\keep.txt"]),
        files={folder + r"\keep.txt": File("kept")},
        answers=(f"click 2 once {needle(text['ConfirmCaption'])}",),
        expect=Expect(exit_code=EXIT_CANCELLED, windows=(confirmation_in(text),), no_window=no_window,
                      present=(folder + r"\keep.txt",)),
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
    cancelled_in("language_german_system", "de", "de", "E2E Deutsch", r"C:\E2E\Deutsch", english_not_shown="en"),
    cancelled_in("language_russian_system", "ru", "ru", "E2E Russkij", r"C:\E2E\Russkij", english_not_shown="en"),
    # An ANSI program on code page 1252 cannot show Japanese: the described English stays.
    cancelled_in("language_japanese_ui_over_1252", "en", "ja-ui", "E2E JaUi", r"C:\E2E\JaUi"),
    cancelled_in("language_switch_on_english_system", "de", "nt", "E2E LangDe", r"C:\E2E\LangDe",
                 arguments=("/LANG=de",), english_not_shown="en"),
]
