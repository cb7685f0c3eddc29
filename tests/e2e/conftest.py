"""Fixtures for the end-to-end scenarios: a private Wine prefix per test, a work directory inside
it, and helpers to run Windows programs, seed the registry and read files back."""
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


def copy_prefix(template, target):
    """Hard-links the prefix's files; the registry files are real copies."""
    subprocess.run(["cp", "-al", str(template), str(target)], check=True)
    for reg in Path(target).glob("*.reg"):
        reg.unlink()
        shutil.copy(Path(template) / reg.name, reg)


@pytest.fixture(scope="session")
def wine_template():
    """The freshly booted prefix of scripts/test.sh (scripts/wine-env.sh), never used itself."""
    return Path(os.environ["LAUNCHER_WINE_TEMPLATE"])


class Wine:
    def __init__(self, prefix):
        self.prefix = Path(prefix)
        self.drive_c = self.prefix / "drive_c"
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all")

    def winpath(self, path):
        """The Windows name of a Unix path (C: inside the prefix, else Z:)."""
        path = Path(path).resolve()
        try:
            rel = path.relative_to(self.drive_c.resolve())
            return "C:\\" + str(rel).replace("/", "\\") if str(rel) != "." else "C:\\"
        except ValueError:
            return "Z:" + str(path).replace("/", "\\")

    def unixpath(self, winpath):
        """The Unix path of a C: path inside the prefix."""
        assert winpath[:3].upper() == "C:\\", winpath
        return self.drive_c / winpath[3:].replace("\\", "/")

    def run(self, program, *args, cwd=None, timeout=120, env=None, check=False):
        merged = dict(self.env, **(env or {}))
        return subprocess.run([WINE, str(program), *map(str, args)], cwd=cwd, env=merged,
                              capture_output=True, timeout=timeout, check=check)

    def start(self, program, *args, cwd=None, env=None):
        merged = dict(self.env, **(env or {}))
        return subprocess.Popen([WINE, str(program), *map(str, args)], cwd=cwd, env=merged,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def reg_import(self, text):
        """Imports a .reg text (REGEDIT4 header added when missing)."""
        if not text.lstrip().startswith("REGEDIT4") and "Windows Registry Editor" not in text:
            text = "REGEDIT4\n\n" + text
        with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False,
                                         dir=self.drive_c, encoding="latin-1") as f:
            f.write(text.replace("\n", "\r\n"))
            name = f.name
        try:
            self.run("regedit", "/S", self.winpath(name), check=True)
        finally:
            os.unlink(name)

    def reg_query(self, key, value=None):
        """The data of a registry value as text, or None when absent."""
        args = ["reg", "query", key] + (["/v", value] if value is not None else [])
        out = self.run(*args)
        if out.returncode != 0:
            return None
        text = out.stdout.decode("latin-1")
        if value is None:
            return text
        for line in text.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True)


@pytest.fixture
def wine(tmp_path, wine_template):
    prefix = tmp_path / "prefix"
    copy_prefix(wine_template, prefix)
    w = Wine(prefix)
    # A persistent server and the prefix's services, started with no pipes of ours (a service
    # holding a captured pipe would never let a run end).
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINESERVER, "-p"], env=w.env, **quiet)
    subprocess.run([WINE, "cmd", "/c", "exit"], env=w.env, **quiet)
    yield w
    w.stop()


@pytest.fixture
def workdir(wine):
    """An empty work directory, C:\\work inside the test's prefix."""
    path = wine.drive_c / "work"
    path.mkdir()
    return path


def stub(name):
    """Path of a stub program built in the test tree."""
    return BUILD / "stubs" / (name + ".exe")


def installer():
    return BUILD / "installer.exe"


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


def save_artifact(name, data):
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    (ARTIFACTS / name).write_bytes(data)
    return ARTIFACTS / name
