"""The shipped 32-bit build on 64-bit Windows: its Program Files is "Program Files (x86)", its
registry view Wow6432Node and its system folder SysWOW64, while a 64-bit program keeps files and
keys of the same names in the real ones, which a removal must leave alone."""

from harness.layout import SHARED_DLLS
from harness.scenario import Expect, File, Key, Restart, Scenario

from .common import WOW64, confirmation, copy_path, pending_entries, setup_inf
from .components import recorded
from .restart import holding

EXIT_COMPLETED, EXIT_RESTART = 0, 3010

# As the harness sees drive C, without redirection: the 64-bit system folder and the 32-bit one.
# The 32-bit program names both System32 (GetSystemDirectory), which WoW64 redirects for it.
SYSTEM32, SYSWOW64 = r"C:\windows\system32", r"C:\windows\syswow64"
THEIRS = b"MZ another program's 64-bit file"


def sixty_four_bit_twins(*names):
    """A prepare step: a 64-bit program's files of the same names in the real System32."""
    def prepare(wine, session):
        for name in names:
            wine.unix_path(SYSTEM32 + "\\" + name).write_bytes(THEIRS)
    return prepare


def twins_kept(*names):
    def check(result):
        problems = []
        for name in names:
            path = result.wine.unix_path(SYSTEM32 + "\\" + name)
            if not path.exists() or path.read_bytes() != THEIRS:
                problems.append(f"the 64-bit {SYSTEM32}\\{name} is gone or changed")
        return problems
    return check


# ---- A whole removal: programs, modules, shared files, registry keys and Program Files ----

WHOLE = r"C:\Program Files (x86)\E2E Wow64"
WHOLE_KEY = r"HKLM\SOFTWARE\E2E Wow64"
SHARED_NAME = "E2EWOWSH.DLL"
WHOLE_INF = setup_inf("E2E Wow64", [
    r"%apppath%\recorder.exe", r"%apppath%\unreg_ok.dll",
    # The Program Files of the program's own view.
    r"%programfiles%\E2E Wow64\readme.txt"],
    extra="\n".join(["", "[ExecuteOnUninstall]", "recorder.exe,0 wow64", "",
                     "[RegisterControl]", "unreg_ok.dll", "",
                     "[SharedComponents]", "on", "[UnInstall.Shared]", rf"%sysdir%\{SHARED_NAME}", "",
                     "[RegistryKeys]", WHOLE_KEY + "=Bits=32", ""]))


# Whether the layout's keys went into Wow6432Node, by prefix: the check after the run needs it,
# since the run removes them.
_laid_in_wow6432node = {}


def other_programs_in_the_64_bit_view(wine, session):
    """A 64-bit program's key and Program Files folder of the same names. The native reg.exe
    reaches both views: the program's keys lie below Wow6432Node there."""
    _laid_in_wow6432node[str(wine.prefix)] = wine.run(
        "reg", "query", r"HKLM\SOFTWARE\Wow6432Node\E2E Wow64", check=False).returncode == 0
    wine.run("reg", "add", WHOLE_KEY, "/v", "Bits", "/d", "64", "/f")
    readme = wine.unix_path(r"C:\Program Files\E2E Wow64\readme.txt")
    readme.parent.mkdir(parents=True, exist_ok=True)
    readme.write_bytes(THEIRS)


def views_kept_apart(result):
    """The key went from the program's view, Wow6432Node, and stayed in the 64-bit one."""
    problems = [] if _laid_in_wow6432node.get(str(result.wine.prefix)) else \
        [r"the layout's HKLM\SOFTWARE\E2E Wow64 was not in HKLM\SOFTWARE\Wow6432Node before the run"]
    if result.wine.run("reg", "query", WHOLE_KEY, "/v", "Bits", check=False).returncode != 0:
        problems.append(f"the 64-bit program's {WHOLE_KEY} is gone")
    if result.wine.run("reg", "query", r"HKLM\SOFTWARE\Wow6432Node\E2E Wow64", check=False).returncode == 0:
        problems.append(r"HKLM\SOFTWARE\Wow6432Node\E2E Wow64 is still there")
    readme = result.wine.unix_path(r"C:\Program Files\E2E Wow64\readme.txt")
    if not readme.exists():
        problems.append(r"the 64-bit program's C:\Program Files\E2E Wow64\readme.txt is gone")
    return problems


# ---- A file of the installation in the system folder, held open during the run ----

HELD = r"C:\Program Files (x86)\E2E Wow64 Held"
HELD_NAME = "E2EWOWHD.DLL"
HELD_FILE = SYSWOW64 + "\\" + HELD_NAME
HELD_HOLDER = r"C:\E2E\Wow64 Holder\holder.exe"
HELD_LOG = r"C:\E2ELogs\wow64-held.log"
SYSTEM_FOLDERS = {SYSTEM32.lower(), SYSWOW64.lower(), r"c:\windows"}


def queued_as(held, not_queued=None):
    """The held file is queued under the name the restart must delete, another program's file of
    the same name is not, and no system folder itself is."""
    def check(result):
        entries = [entry.lower() for entry in pending_entries(result.wine)]
        problems = [] if held.lower() in entries else [f"{held} is not queued: {entries}"]
        if not_queued and not_queued.lower() in entries:
            problems.append(f"{not_queued}, the 64-bit program's file, is queued: {entries}")
        problems += [f"the system folder {entry} itself is queued" for entry in entries if entry in SYSTEM_FOLDERS]
        return problems
    return check


# Where no WoW64 is in between, the program's system folder is the real one, and its file is
# queued under that name: on 32-bit Windows, and for the x86-64 build on 64-bit Windows.
OWN = r"C:\Program Files\E2E System Held"
OWN_FILE = SYSTEM32 + r"\E2ESYSHD.DLL"
OWN_HOLDER = r"C:\E2E\System Holder\holder.exe"


SCENARIOS = [
    Scenario(
        name="wow64_whole_removal",
        app_name="E2E Wow64", app_folder=WHOLE, families=WOW64,
        setup_inf=WHOLE_INF,
        files={WHOLE + r"\readme.txt": File("readme"), SYSWOW64 + "\\" + SHARED_NAME: File(b"MZ ours")},
        helpers={WHOLE + r"\recorder.exe": "recorder.exe", WHOLE + r"\unreg_ok.dll": "unreg_ok.dll"},
        # The count's name is the path as the program builds it, in the program's view.
        shared_counts={SYSTEM32 + "\\" + SHARED_NAME: 1},
        keys=(Key(WHOLE_KEY, {"Bits": "32"}),),
        prepare=(sixty_four_bit_twins(SHARED_NAME), other_programs_in_the_64_bit_view),
        answers=("click 1 once E2E Wow64 Un-Install",),
        expect=Expect(
            exit_code=EXIT_COMPLETED, windows=(confirmation("E2E Wow64"),),
            absent=(WHOLE + r"\recorder.exe", WHOLE + r"\unreg_ok.dll", WHOLE + r"\readme.txt",
                    WHOLE + r"\UNINST\SETUP.INF", SYSWOW64 + "\\" + SHARED_NAME),
            keys_absent=((SHARED_DLLS, SYSTEM32 + "\\" + SHARED_NAME), r"HKLM\SOFTWARE\Tallowmere\UNINST\E2E Wow64"),
            # The helpers' logs beside them stay, as the list does not name them.
            checks=(recorded(WHOLE + r"\recorder.log", "recorder.exe", " 0 wow64"),
                    recorded(WHOLE + r"\unreg_ok.log", rf"DllUnregisterServer {WHOLE}\unreg_ok.dll"),
                    twins_kept(SHARED_NAME), views_kept_apart)),
    ),
    Scenario(
        name="wow64_held_system_file_queued_under_syswow64",
        app_name="E2E Wow64 Held", app_folder=HELD, families=WOW64,
        setup_inf=setup_inf("E2E Wow64 Held", [r"%apppath%\a.txt", rf"%sysdir%\{HELD_NAME}"]),
        files={HELD + r"\a.txt": File("a"), HELD_FILE: File(b"MZ ours")},
        folders=(r"C:\E2ELogs",),
        helpers={HELD_HOLDER: "holder.exe"},
        arguments=("/SILENT", "/WAIT", "/LOG=" + HELD_LOG),
        prepare=(sixty_four_bit_twins(HELD_NAME), holding(HELD_HOLDER, HELD_FILE)),
        expect=Expect(
            exit_code=EXIT_RESTART,
            absent=(HELD + r"\a.txt",),
            present=(HELD_FILE,),
            checks=(queued_as(HELD_FILE, SYSTEM32 + "\\" + HELD_NAME), twins_kept(HELD_NAME))),
        restart=Restart(gone=(HELD_FILE, HELD + r"\UNINST\uninst.exe", copy_path),
                        checks=(twins_kept(HELD_NAME),)),
        timeout=120,
    ),
    Scenario(
        name="held_system_file_queued_under_its_own_name",
        app_name="E2E System Held", app_folder=OWN, families=("nt",),
        setup_inf=setup_inf("E2E System Held", [r"%apppath%\a.txt", r"%sysdir%\E2ESYSHD.DLL"]),
        files={OWN + r"\a.txt": File("a"), OWN_FILE: File(b"MZ ours")},
        folders=(r"C:\E2ELogs",),
        helpers={OWN_HOLDER: "holder.exe"},
        arguments=("/SILENT", "/WAIT", "/LOG=" + r"C:\E2ELogs\system-held.log"),
        prepare=(holding(OWN_HOLDER, OWN_FILE),),
        expect=Expect(exit_code=EXIT_RESTART, absent=(OWN + r"\a.txt",), present=(OWN_FILE,),
                      checks=(queued_as(OWN_FILE),)),
        restart=Restart(gone=(OWN_FILE, OWN + r"\UNINST\uninst.exe", copy_path)),
        timeout=120,
    ),
]
