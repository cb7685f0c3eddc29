"""Helpers for the launcher-shell scenarios: start installer.exe in a work directory, read and drive
its windows through the winprobe stub, and take screenshots of the X display."""
import os
import subprocess

from conftest import installer, save_artifact, stub, wait_for

DIALOG = "Installer"
ERROR_BOX = "Tallybox Installer: Error"
STATUS_CONTROL = 104
BOX_TEXT_CONTROL = 65535
IDOK = 1
VK_ESCAPE = 0x1B

DISK_SPACE = ("Are the destination or temporary directories out of disk space?\r\r"
              "    See errors.log for other possible causes.")
OTHER_CAUSES = ("Other possible causes for errors:\n"
                "    * Read/write access rights to the 'temp' and installation directories?\n"
                "    * OS need to be patched to run Java apps?\n"
                "    * Anti-virus software installed that won't permit unknonwn executable or "
                "JAR files to run?\n"
                "    * Does your system export the display?")
APPLICATION_MESSAGE = "Unable to install application.\r\r" + DISK_SPACE
# The failure of a run whose control file turns the search off and names no way to install a JVM
# (NO_SEARCH_CONTROL).
NO_SEARCH_CONTROL = b"searchForJvm=none\n"
NOT_FOUND_MESSAGE = "The correct version of the JRE was not found on your system."
NOT_FOUND_DETAILS = "Please install JRE 1.4 and then restart this installation program."


def probe(wine, *args, timeout=90):
    """Runs winprobe; returns (exit code, stdout text). The time limit is
    generous: a loaded machine can take long to start a Wine process."""
    out = wine.run(stub("winprobe"), *args, timeout=timeout)
    return out.returncode, out.stdout.decode("utf-8", "replace")


def wait_window(wine, caption, ms=10000):
    return probe(wine, "wait", caption, ms)[0] == 0


def window_gone(wine, caption, ms=10000):
    return wait_for(lambda: window_count(wine, caption) == 0, ms / 1000, 0.05)


def window_text(wine, caption, control, ms=5000):
    """The text of a control of the window (control 0: its caption)."""
    code, text = probe(wine, "text", caption, control, ms)
    assert code == 0, f"no window {caption!r}"
    return text


def press_ok(wine):
    """Presses OK on the error box."""
    return probe(wine, "command", ERROR_BOX, IDOK)[0] == 0


def window_count(wine, caption):
    return int(probe(wine, "count", caption)[1].strip() or 0)


def seed_locale(wine, name):
    """Sets the user's locale name."""
    code, text = probe(wine, "locale", name)
    assert code == 0, text


def run_raw(wine, workdir, arguments, cwd=None, timeout=20):
    """Runs installer.exe with an arguments string exactly as given (the quotes and blanks
    untouched); returns the exit code."""
    cmdfile = wine.drive_c / "cmdline.txt"
    cmdfile.write_bytes(f'"{wine.winpath(installer())}" {arguments}'.encode("latin-1"))
    out = wine.run(stub("winprobe"), "run", wine.winpath(cmdfile), cwd=cwd or workdir,
                   timeout=timeout)
    return out.returncode


def start_launcher(wine, workdir, *args, cwd=None):
    return wine.start(installer(), *args, cwd=cwd or workdir)


def wait_exit(proc, timeout=20):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise


def screenshot(name, crop=None):
    """Saves the X display (or a part "WxH+X+Y" of it) as an artifact."""
    path = f"/tmp/{name}.{os.getpid()}.png"
    cmd = ["import", "-window", "root"]
    if crop:
        cmd += ["-crop", crop]
    subprocess.run(cmd + [path], check=True, timeout=30)
    try:
        with open(path, "rb") as f:
            return save_artifact(name, f.read())
    finally:
        os.unlink(path)


def window_crop(wine, caption, margin=4):
    code, text = probe(wine, "rect", caption)
    if code != 0:
        return None
    x, y, w, h = (int(v) for v in text.split())
    return f"{w + 2 * margin}x{h + 2 * margin}+{max(x - margin, 0)}+{max(y - margin, 0)}"


class Watcher:
    """Polls, inside the prefix, for windows with the given captions while a run goes on; seen()
    tells which were ever visible."""

    def __init__(self, wine, ms, *captions):
        self.proc = wine.start(stub("winprobe"), "watch", ms, *captions)
        line = self.proc.stdout.readline().decode("latin-1")
        assert line.strip() == "WATCHING", line

    def seen(self, timeout=30):
        out, _ = self.proc.communicate(timeout=timeout)
        return [l[5:] for l in out.decode("latin-1").splitlines() if l.startswith("SEEN ")]
