"""One Wine prefix: creating it, running programs in it, its registry and its drive C."""

import os
import pathlib
import shutil
import struct
import subprocess
import tempfile
import time

from .families import FAMILIES, Family, ensure_locale

PE_MACHINE_I386 = 0x14C
PE_MACHINE_AMD64 = 0x8664


def pe_machine(path):
    """The machine field of a PE file's header, or None when the file is not a PE program."""
    data = pathlib.Path(path).read_bytes()[:4096]
    if len(data) < 0x40 or data[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if offset + 6 > len(data) or data[offset:offset + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", data, offset + 4)[0]


def can_run_32bit_linux_programs():
    """Wine's 32-bit loader is an i386 ELF program, which some kernels refuse to execute."""
    try:
        return subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True,
                              timeout=30).returncode == 0
    except OSError:
        return False


class Wine:
    """The loader and server for one architecture, bound to one prefix of a family and one display.
    The family is a name of FAMILIES, or a Family of its own for a prefix that another family made."""

    def __init__(self, prefix, arch, display, family):
        self.prefix = pathlib.Path(prefix)
        self.family = family if isinstance(family, Family) else FAMILIES[family]
        self.arch = arch
        self.display = display
        if arch == "win32":
            self.loader = shutil.which("wine") or "/usr/lib/wine/wine"
        else:
            self.loader = "/usr/lib/wine/wine64"
        server64 = "/usr/lib/wine/wineserver64"
        self.server = server64 if os.access(server64, os.X_OK) else shutil.which("wineserver")

    @staticmethod
    def arch_of(program):
        machine = pe_machine(program)
        if machine == PE_MACHINE_I386:
            return "win32"
        if machine == PE_MACHINE_AMD64:
            return "win64"
        raise RuntimeError(f"{program} is not a Windows program of a known machine")

    def env(self):
        env = dict(os.environ)
        # LC_ALL would override the family's UI language.
        env.pop("LC_ALL", None)
        env.update(WINEPREFIX=str(self.prefix), WINEARCH=self.arch, WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=self.display, **self.family.env())
        if self.arch == "win64":
            env["WINELOADER"] = self.loader
        return env

    def tool(self, name):
        """A registry tool (reg, regedit) that sees the registry as the program does: under WoW64
        the 32-bit one from SysWOW64, whose HKLM\\SOFTWARE is Wow6432Node. Wine's own settings
        go through it too, since the program is the process that reads them; HKCU\\Software has
        no Wow6432Node, so both views share them anyway."""
        return f"C:\\windows\\syswow64\\{name}.exe" if self.family.wow64 else name

    def run(self, *args, timeout=120, cwd=None, check=True):
        # Files, not pipes: the services that Wine starts inherit the output and outlive the call.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            status = subprocess.run([self.loader, *args], env=self.env(), cwd=cwd, timeout=timeout,
                                    stdout=out, stderr=err, stdin=subprocess.DEVNULL).returncode
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(args, status, out.read(), err.read())
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {' '.join(args)} failed ({result.returncode}): "
                               f"{result.stderr.decode(errors='replace')[-2000:]}")
        return result

    def start(self, *args, cwd=None, stdout=None):
        return subprocess.Popen([self.loader, *args], env=self.env(), cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=stdout or subprocess.DEVNULL, stderr=subprocess.STDOUT)

    def server_command(self, *args, timeout=60):
        return subprocess.run([self.server, *args], env=self.env(), timeout=timeout,
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)

    # --- the prefix ---------------------------------------------------------------------------

    @property
    def encoding(self):
        """The prefix's ANSI code page: the bytes that its programs read and write."""
        return self.family.encoding

    def create(self):
        """A new prefix for the family, with windows unmanaged and no crash dialog."""
        ensure_locale(self.family)
        if self.prefix.exists():
            self.kill_server()
            shutil.rmtree(self.prefix)
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self.run("wineboot", "-i", timeout=300)
        self.server_command("-w", timeout=120)
        self.start_persistent_server()
        settings = [
            r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Managed"="N"', "",
            r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]", '"ShowCrashDialog"=dword:00000000', "",
        ]
        if self.family.version:
            settings += [r"[HKEY_CURRENT_USER\Software\Wine]", f'"Version"="{self.family.version}"', ""]
        self.import_reg("\r\n".join(settings))

    def start_persistent_server(self):
        """Keeps one server for the whole run: a new server's first process would carry out the
        renames queued for the next restart before a scenario could look at them."""
        subprocess.run([self.server, "-p"], env=self.env(), timeout=60, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       start_new_session=True)

    def kill_server(self):
        self.server_command("-k", timeout=60)

    def restart(self):
        """What a restart of the machine does to the prefix: queued renames and deletions."""
        self.run("wineboot", "-r", timeout=300)
        # The persistent server never exits on its own, so waiting for it would only time out;
        # ending it lets the restart's work settle before the next session starts.
        self.kill_server()
        self.start_persistent_server()

    def set_version(self, version):
        self.run(self.tool("reg"), "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")

    def restore_version(self):
        if self.family.version:
            self.set_version(self.family.version)
        else:
            self.run(self.tool("reg"), "delete", r"HKCU\Software\Wine", "/v", "Version", "/f", check=False)

    # --- drive C ------------------------------------------------------------------------------

    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    def user(self):
        users = self.drive_c / "users"
        names = [p.name for p in users.iterdir() if p.is_dir() and p.name.lower() != "public"]
        return names[0] if names else os.environ.get("USER", "root")

    def temp_dir(self):
        return f"C:\\users\\{self.user()}\\Temp"

    def unix_path(self, windows_path):
        """The file behind a C:\\ path, found without regard to case as Windows would."""
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise ValueError(f"only drive C is mapped: {windows_path}")
        path = self.drive_c
        for part in [p for p in rest.split("\\") if p]:
            exact = path / part
            if not exact.exists() and path.is_dir():
                match = [c for c in path.iterdir() if c.name.lower() == part.lower()]
                exact = match[0] if match else exact
            path = exact
        return path

    def exists(self, windows_path):
        return self.unix_path(windows_path).exists()

    # --- registry -----------------------------------------------------------------------------

    def import_reg(self, body):
        """One regedit process for a whole set of keys: far quicker than one reg add each."""
        # A REGEDIT4 file is read in the ANSI code page.
        self.import_reg_file(("REGEDIT4\r\n\r\n" + body + "\r\n").encode(self.encoding))

    def import_reg_file(self, data):
        """A registry file's bytes, as regedit reads them (REGEDIT4 in the ANSI code page, or
        UTF-16 with its header)."""
        work = self.drive_c / "e2e"
        work.mkdir(exist_ok=True)
        regfile = work / f"import-{time.monotonic_ns()}.reg"
        regfile.write_bytes(data)
        self.run(self.tool("regedit"), "/s", f"C:\\e2e\\{regfile.name}")
        regfile.unlink()

    def reg_query(self, key, value=None):
        """The text `reg query` prints for a key or one value, or None when it is not there."""
        args = [self.tool("reg"), "query", key] + (["/v", value] if value is not None and value != "" else [])
        if value == "":
            args.append("/ve")
        result = self.run(*args, check=False)
        if result.returncode != 0:
            return None
        return result.stdout.decode(self.encoding, errors="replace")
