"""Start installer.exe, read and drive its windows (tests/stubs/winprobe.cpp), take screenshots."""
import subprocess

from conftest import ARTIFACTS, BUILD, INSTALLER, stub

DIALOG, ERROR_BOX = "Installer", "Tallybox Installer: Error"
# The launcher built once more with a distributor's brand: its version block names the product.
BRANDED, BRANDED_PRODUCT = BUILD / "branded" / "installer.exe", "Exämple Suite"
STATUS_CONTROL, BOX_TEXT_CONTROL, IDOK = 104, 65535, 1
DISK_SPACE = ("Are the destination or temporary directories out of disk space?\r\r"
              "    See errors.log for other possible causes.")


def probe(wine, *args, timeout=90):
    """(exit code, output) of the window probe; a loaded machine can take long to start it."""
    out = wine.run(stub("winprobe"), *args, timeout=timeout)
    return out.returncode, out.stdout.decode("utf-8", "replace")


def window_text(wine, caption, control, ms=5000):
    """The text of a control of the window (control 0: its caption), waited for up to ms."""
    code, text = probe(wine, "text", caption, control, ms, timeout=ms / 1000 + 60)
    assert code == 0, f"no window {caption!r}"
    return text


def window_count(wine, caption):
    return int(probe(wine, "count", caption)[1])


def window_rect(wine, caption, *move_to):
    """WIDTHxHEIGHT+X+Y of the window, moved to move_to first when given; None without one."""
    code, text = probe(wine, "rect", caption, *move_to)
    return text.strip() if code == 0 else None


def text_fits(wine, caption, control, text, width, height):
    """"fits" when the text (\\r\\n: a line end), in the Japanese font, fits width x height
    dialog units of the window; else what it needs."""
    return probe(wine, "fits", caption, control, text, width, height)[1].strip()


def press_ok(wine, caption=ERROR_BOX):
    return probe(wine, "post", caption, 0x111, IDOK, 0)[0] == 0  # WM_COMMAND


def seed_locale(wine, name):
    """Sets the user's locale name for good: Wine no longer sets it from LC_ALL."""
    assert probe(wine, "locale", name)[0] == 0


def start_launcher(wine, workdir, *args, exe=INSTALLER):
    if "LC_ALL" in wine.env or "LC_MESSAGES" in wine.env:
        # Each Wine process writes a changed locale into the registry as it starts, the key's
        # values one by one; a probe started beside the launcher could leave it half written for
        # the launcher to read. One process first settles it.
        wine.run("cmd", "/c", "exit")
    return wine.start(exe, *args, cwd=workdir)


def screenshot(name, rect):
    """Saves the part rect (WIDTHxHEIGHT+X+Y) of the X display, or all of it, as an artifact."""
    crop = ["-crop", rect] if rect else []
    shot = subprocess.run(["import", "-window", "root", *crop, "png:-"], check=True,
                          capture_output=True, timeout=120)
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    (ARTIFACTS / name).write_bytes(shot.stdout)


def watch(wine, ms, *captions):
    """Polls inside the prefix for ms; the function returned gives the captions ever visible."""
    proc = wine.start(stub("winprobe"), "watch", ms, *captions)
    assert proc.stdout.readline().strip() == b"WATCHING"
    return lambda: set(proc.communicate(timeout=120)[0].decode("latin-1").splitlines())
