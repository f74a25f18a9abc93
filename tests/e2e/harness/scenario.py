"""How a scenario is declared: the installation, the run, the answers and what must hold after."""

import dataclasses
import re
from typing import Optional

# A message box of the working copy carries the temporary file's name as its caption.
TEMP_TITLE = re.compile(r"~UN[0-9A-Fa-f]+")


def starting(text):
    """A caption or text that begins with text: a message whose end names a path or a line."""
    return re.compile(re.escape(text) + ".*", re.S)


@dataclasses.dataclass
class File:
    content: bytes | str = b""
    readonly: bool = False
    hidden: bool = False


@dataclasses.dataclass
class Record:
    """The installation record under HKLM\\SOFTWARE\\Tallowmere\\UNINST\\<AppName>."""
    app_path: Optional[str] = None          # the default value; None: the app folder and "\\"
    start_menu_folder: Optional[str] = None
    app_common: Optional[str] = None


@dataclasses.dataclass
class Key:
    """A registry key to create: path with its root (HKLM\\..., HKCU\\..., HKCR\\...) and values.
    A str value is REG_SZ, an int REG_DWORD; the name "" is the default value."""
    path: str
    values: dict = dataclasses.field(default_factory=dict)


@dataclasses.dataclass
class Window:
    """A window the transcript must show: caption (str or pattern), texts it must contain (a
    static whose text equals it exactly), and buttons as {id: text}."""
    caption: str | re.Pattern
    texts: tuple = ()
    buttons: dict = dataclasses.field(default_factory=dict)


@dataclasses.dataclass
class Expect:
    exit_code: Optional[int] = None         # of the first instance, as the driver saw it
    copy_exit_code: Optional[int] = None    # of the working copy
    windows: tuple = ()                     # in this order, others may come between
    no_window: tuple = ()                   # captions or texts (str: whole, or a pattern) that must not appear
    statuses: tuple = ()                    # progress texts, in this order
    present: tuple = ()                     # C:\ paths that must exist afterwards
    absent: tuple = ()
    keys_present: tuple = ()                # registry keys, or (key, value name) pairs
    keys_absent: tuple = ()
    checks: tuple = ()                      # further callables taking the Result


@dataclasses.dataclass
class Restart:
    """A restart after the run, and what it must have removed."""
    gone: tuple = ()
    checks: tuple = ()


@dataclasses.dataclass
class Scenario:
    name: str
    app_name: str
    app_folder: str
    setup_inf: Optional[str]
    setup_inf_dir: Optional[str] = ""       # below uninst.exe's folder ("DISK1"); None: nowhere
    families: tuple = ("nt", "9x")
    files: dict = dataclasses.field(default_factory=dict)
    folders: tuple = ()
    record: Optional[Record] = dataclasses.field(default_factory=Record)
    shared_counts: dict = dataclasses.field(default_factory=dict)
    keys: tuple = ()
    helpers: dict = dataclasses.field(default_factory=dict)   # C:\ path -> helper program name
    # The command: by default the installed uninst.exe with no arguments, as a user starts it.
    program: Optional[str] = None
    arguments: tuple = ()
    copies: tuple = ()                      # further C:\ paths that get a copy of uninst.exe
    answers: tuple = ()
    default_answer: str = "ok-yes"
    version: Optional[dict] = None          # family -> Wine version for this scenario only
    expect: Expect = dataclasses.field(default_factory=Expect)
    restart: Optional[Restart] = None
    # Callables (wine, session) run before the installation is laid out, after it is laid out,
    # and after the run whatever happened, for a state that the layout cannot express.
    before_layout: tuple = ()
    prepare: tuple = ()
    restore: tuple = ()
    # Screenshots confirmation.png (at a "shoot" answer) and progress.png (mid-run) in the work folder.
    screenshots: bool = False
    timeout: int = 90

    @property
    def uninst_path(self):
        return self.app_folder + "\\UNINST\\uninst.exe"

    @property
    def started_program(self):
        return self.program or self.uninst_path
