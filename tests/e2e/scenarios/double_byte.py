"""An installation named in Japanese, on a system whose ANSI code page is 932, where the second
byte of a character can be 0x5C, the backslash (表 is 0x95 0x5C; so are ソ 十 能 予). Its three
folders are recorded without a closing backslash, so each ends in such a character: text cut at
that byte, or a backslash taken as already there, names other items. Those items are laid as
siblings, and must stay."""

from harness.scenario import TEMP_TITLE, Expect, File, Key, Record, Scenario

from .common import EXIT_COMPLETED, confirmation, copy_deletion_queued, needle, setup_inf
from .plan import PlanFirst

UNINSTALL_ROOT = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
RECORD_ROOT = r"HKLM\SOFTWARE\Tallowmere\UNINST"
LOGS = r"C:\E2ELogs"


class JapaneseInstallation:
    """One installation below its own root folder (C:\\ACC) and its own keys (SOFTWARE\\ACC)."""

    def __init__(self, root, app_name):
        self.root, self.app_name = root, app_name
        self.app = root + r"\計算表"
        self.common = root + r"\Common\能"
        self.menu = root + r"\Menu\計算表"
        software = root.split("\\")[-1]
        self.key = rf"HKLM\SOFTWARE\{software}\計算表"
        self.user_key = rf"HKCU\Software\{software}\能"
        self.sibling_keys = (rf"HKLM\SOFTWARE\{software}\計算", rf"HKLM\SOFTWARE\{software}\other",
                             rf"HKCU\Software\{software}\other")
        self.uninstall_entry = f"{UNINSTALL_ROOT}\\{app_name}"
        self.record_key = f"{RECORD_ROOT}\\{app_name}"

    def setup_inf(self):
        return setup_inf(self.app_name, [
            r"%apppath%\計算表.EXE", r"%apppath%\表.HLP", r"%apppath%\予\十", r"%apppath%\予\ソ\能.DAT",
            r"%appcommon%\能.DLL", r"%appcommon%\ソ",
        ], extra="\n".join([
            "", "[AddShortcut]", "1,1,計算表.LNK", "1,1,十.LNK",
            "", "[RegistryKeys]", self.key + r"\予=Size=1", self.key + "=@=", self.user_key + "=X=1", ""]))

    def files(self):
        """The installation's own files (shortcuts and the help index with them)."""
        return {
            self.app + r"\計算表.EXE": File(b"MZ app"), self.app + r"\表.HLP": File(b"help"),
            self.app + r"\表.GID": File(b"help index", hidden=True), self.app + r"\予\十": File("ten"),
            self.app + r"\予\ソ\能.DAT": File("data"),
            self.common + r"\能.DLL": File(b"MZ common"), self.common + r"\ソ": File("so"),
            self.menu + r"\計算表.LNK": File(b"L shortcut"), self.menu + r"\十.LNK": File(b"L shortcut"),
            self.menu + r"\Un-Install.LNK": File(b"L shortcut"),
        }

    def siblings(self):
        """What a cut or a missing separator would name instead: the folder joined to a name with
        no backslash between, and a common folder's parent with other content."""
        return {
            self.root + r"\計算表計算表.EXE": File(b"MZ another program"),
            self.root + r"\計算表UNINST\SETUP.INF": File("another program's"),
            self.root + r"\Common\能能.DLL": File(b"MZ another program"),
            self.root + r"\Common\other\keep.txt": File("another program's"),
            self.root + r"\Menu\計算表計算表.LNK": File(b"L another shortcut"),
            self.root + r"\Menu\計算表Un-Install.LNK": File(b"L another shortcut"),
        }

    def keys(self):
        return (Key(self.key, {"": "installed"}), Key(self.key + r"\予", {"Size": "1"}),
                Key(self.user_key, {"X": "1"}),
                Key(self.uninstall_entry, {"DisplayName": self.app_name,
                                           "UninstallString": self.app + r"\UNINST\uninst.exe"}),
                *(Key(sibling, {"Owner": "another program"}) for sibling in self.sibling_keys))

    def folders_gone(self):
        """Deepest first, as the run removes them."""
        return (self.app + r"\予\ソ", self.app + r"\予", self.app + r"\UNINST", self.app, self.common, self.menu)

    def keys_gone(self):
        return (self.key + r"\予", self.key, self.user_key, self.uninstall_entry, self.record_key)

    def expect(self, *checks):
        return Expect(
            exit_code=EXIT_COMPLETED, copy_exit_code=EXIT_COMPLETED,
            windows=(confirmation(self.app_name),),
            absent=(*self.files(), self.app + r"\UNINST\uninst.exe", self.app + r"\UNINST\SETUP.INF",
                    *self.folders_gone()),
            present=(*self.siblings(), self.root + r"\Common", self.root + r"\Menu"),
            keys_absent=self.keys_gone(),
            keys_present=tuple((key, "Owner") for key in self.sibling_keys),
            checks=(no_message_box, *checks))

    def keys_laid(self, wine, session):
        """The import reads its file in the code page: a key it named wrong would leave the checks
        of what is gone nothing to find."""
        missing = [key for key in (*self.keys_gone(), *self.sibling_keys) if wine.reg_query(key) is None]
        if missing:
            raise RuntimeError(f"the layout did not make the keys {missing}")

    def scenario(self, name, prepare=(), **overrides):
        fields = dict(
            name=name, app_name=self.app_name, app_folder=self.app, setup_inf=self.setup_inf(),
            families=("cp932",), files={**self.files(), **self.siblings()},
            record=Record(app_path=self.app, start_menu_folder=self.menu, app_common=self.common),
            keys=self.keys(), prepare=(self.keys_laid, *prepare),
            answers=(f"click 1 once {needle(self.app_name)} Un-Install",),
            expect=self.expect(copy_deletion_queued))
        fields.update(overrides)
        return Scenario(**fields)

    def named_in_plan(self):
        """Every item of the installation, as the plan and the run's log name them."""
        files = [*self.files(), self.app + r"\UNINST\uninst.exe", self.app + r"\UNINST\SETUP.INF"]
        return (*("file " + path for path in files), *("folder " + path for path in self.folders_gone()),
                *("key " + key for key in self.keys_gone()), "key " + self.record_key + r"\AppCommon")


def no_message_box(result):
    """The run completes without a word: a message box of the working copy carries its name."""
    return [f"message box: {w.describe()}" for w in result.transcript.windows if TEMP_TITLE.fullmatch(w.caption)]


REMOVED = JapaneseInstallation(r"C:\ACC", "計算表")
PLANNED = JapaneseInstallation(r"C:\ACCPLAN", "予定表")
PLAN_FIRST = PlanFirst(PLANNED.app, PLANNED.app_name, LOGS + r"\cp932-plan.log", LOGS + r"\cp932-real.log",
                       PLANNED.named_in_plan())
# The 9x platform queues what is deleted at the restart elsewhere, and is otherwise the same.
REMOVED_9X = JapaneseInstallation(r"C:\ACC98", "能率表")

SCENARIOS = [
    REMOVED.scenario("japanese_installation_removed"),
    PLANNED.scenario("japanese_plan_names_what_the_run_removes",
                     prepare=(PLAN_FIRST,), arguments=("/LOG=" + PLAN_FIRST.real_log,), timeout=150,
                     expect=PLANNED.expect(copy_deletion_queued, PLAN_FIRST.check)),
    REMOVED_9X.scenario("japanese_installation_removed_on_9x", version={"cp932": "win98"}),
]
