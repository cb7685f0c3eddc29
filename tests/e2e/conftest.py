"""Fixtures of the end-to-end scenarios: a private Wine prefix per test, a work directory in it."""
import hashlib
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SOURCE = Path(os.environ.get("LAUNCHER_SOURCE", Path(__file__).resolve().parents[2]))
BUILD = Path(os.environ.get("LAUNCHER_BUILD", SOURCE / "build" / "win64"))
ARTIFACTS = BUILD / "artifacts"
INSTALLER = BUILD / "installer.exe"
REGIMPORT = BUILD / "tools" / "regimport.exe"


def captured(command, timeout, check=False, **options):
    """subprocess.run with its output caught in files, not pipes: a Wine process it starts (a
    service, the server) may inherit them and outlive it, and a pipe would then keep the run
    from ending until the time limit."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(command, stdout=out, stderr=err, timeout=timeout, **options).returncode
        out.seek(0), err.seek(0)
        done = subprocess.CompletedProcess(command, code, out.read(), err.read())
    if check:
        done.check_returncode()
    return done


class Wine:
    def __init__(self, prefix):
        self.prefix = Path(prefix)
        self.drive_c = self.prefix / "drive_c"
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all")

    def winpath(self, path):
        path, drive_c = Path(path).resolve(), self.drive_c.resolve()
        if path.is_relative_to(drive_c):
            return "C:\\" + "\\".join(path.relative_to(drive_c).parts)
        return "Z:" + str(path).replace("/", "\\")

    def unixpath(self, winpath):
        return self.drive_c / winpath[3:].replace("\\", "/")

    def run(self, program, *args, cwd=None, timeout=120, env=None, check=False):
        return captured([WINE, str(program), *map(str, args)], timeout, check, cwd=cwd,
                        env=dict(self.env, **(env or {})))

    def start(self, program, *args, cwd=None):
        return subprocess.Popen([WINE, str(program), *map(str, args)], cwd=cwd, env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def local(self, path):
        """A program or file of the build as the prefix's user may read it."""
        return Path(path)

    def reg_import(self, text, bits=64):
        """REGEDIT4 text ([-key] deletes one) into the view of programs of that bitness, through
        tools/regimport.exe (Wine's regedit now and then hung on an import)."""
        path = self.drive_c / "import.reg"
        path.write_bytes(("REGEDIT4\n\n" + text).replace("\n", "\r\n").encode("utf-8"))
        out = self.run(REGIMPORT, f"/reg:{bits}", self.winpath(path), timeout=60)
        assert out.returncode == 0, out.stderr.decode("latin-1")
        path.unlink()


class UserWine(Wine):
    """A standard user's prefix: Wine runs as a Unix user who owns the prefix but cannot write its
    Program Files folders or Windows directory. That user may not enter the clone: what of the
    build it runs or reads is copied beside the prefix first (local); it runs there, with a TMPDIR
    of its own."""

    def __init__(self, prefix, user):
        super().__init__(prefix)
        self.user, self.top = user, self.prefix.parent
        (self.top / "tmp").mkdir(exist_ok=True)
        subprocess.run(["chown", user, str(self.top / "tmp")], check=True)
        self.as_user = ["runuser", "-u", user, "--", "env", f"WINEPREFIX={prefix}",
                        "WINEDEBUG=-all", f"DISPLAY={os.environ.get('DISPLAY', '')}",
                        f"TMPDIR={self.top / 'tmp'}"]

    def local(self, path):
        path = Path(path)
        if path.resolve().is_relative_to(self.top.resolve()):
            return path
        folder = self.top / "build" / hashlib.sha1(str(path.parent).encode()).hexdigest()[:8]
        if not (folder / path.name).exists():
            folder.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(path, folder / path.name)
        return folder / path.name

    def command(self, program, args, env=None):
        program = self.local(program) if isinstance(program, Path) else program
        extra = [f"{name}={value}" for name, value in (env or {}).items()]
        return [*self.as_user, *extra, WINE, str(program), *map(str, args)]

    def run(self, program, *args, cwd=None, timeout=120, env=None, check=False):
        return captured(self.command(program, args, env), timeout, check, cwd=cwd or self.top)

    def start(self, program, *args, cwd=None):
        return subprocess.Popen(self.command(program, args), cwd=cwd or self.top,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def give(self, path):
        subprocess.run(["chown", "-R", self.user, str(path)], check=True)


def copy_template(prefix):
    """Hard links to the files of the freshly booted prefix of scripts/wine-env.sh; the registry
    files, which change, are real copies."""
    template = Path(os.environ["LAUNCHER_WINE_TEMPLATE"])
    subprocess.run(["cp", "-al", template, prefix], check=True)
    subprocess.run(["cp", "--remove-destination", *template.glob("*.reg"), prefix], check=True)
    return prefix


STANDARD_USER = "launchertest"
READ_ONLY = ("Program Files", "Program Files (x86)", "windows")
# A persistent server and the prefix's services are started with no pipes of ours (a service
# holding a captured pipe would never let a run end).
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


@pytest.fixture
def user_wine():
    if subprocess.run(["id", STANDARD_USER], capture_output=True).returncode:
        subprocess.run(["useradd", "-m", STANDARD_USER], capture_output=True)
    top = Path(tempfile.mkdtemp(prefix="launcher-user-"))
    top.chmod(0o755)
    prefix = copy_template(top / "prefix")
    # The directories are the copy's own (its files are the template's): the user gets them.
    subprocess.run(f"find '{prefix}' -type d -print0 | xargs -0 chown {STANDARD_USER}",
                   shell=True, check=True)
    subprocess.run(["chown", STANDARD_USER, *prefix.glob("*.reg")], check=True)
    (prefix / "wineserver").unlink(missing_ok=True)  # the root server's record
    for name in READ_ONLY:
        subprocess.run(["find", str(prefix / "drive_c" / name), "-type", "d", "-exec",
                        "chmod", "a-w", "{}", "+"], check=True)
    w = UserWine(prefix, STANDARD_USER)
    subprocess.run([*w.as_user, WINESERVER, "-p"], cwd=top, **QUIET)
    subprocess.run([*w.as_user, WINE, "cmd", "/c", "exit"], cwd=top, **QUIET)
    yield w
    subprocess.run([*w.as_user, WINESERVER, "-k"], cwd=top, capture_output=True)
    subprocess.run(["rm", "-rf", str(top)])


@pytest.fixture
def wine(tmp_path):
    w = Wine(copy_template(tmp_path / "prefix"))
    subprocess.run([WINESERVER, "-p"], env=w.env, **QUIET)
    subprocess.run([WINE, "cmd", "/c", "exit"], env=w.env, **QUIET)
    yield w
    subprocess.run([WINESERVER, "-k"], env=w.env, capture_output=True)


@pytest.fixture
def workdir(wine):
    (wine.drive_c / "work").mkdir()
    return wine.drive_c / "work"


def stub(name):
    return BUILD / "stubs" / (name + ".exe")


def read_text(path):
    return Path(path).read_bytes().decode("latin-1") if Path(path).exists() else ""


def log_lines(path):
    """The texts of a log's lines, the 24-character time stamp dropped."""
    return [line[25:] for line in read_text(path).splitlines() if len(line) >= 25]


def wait_for(predicate, timeout=30, interval=0.1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()

