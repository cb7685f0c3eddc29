"""docs/make-your-own-package.md followed block by block in a fresh prefix, as a package author
would: its commands run in one shell session (each block where the one before it ended), its files
are written where the session stands, and what an output block shows is what its commands print.
The reader's settings block gives way to this run's build, prefix, Wine and Java."""
import re
import subprocess

import pytest

from conftest import BUILD, SOURCE, WINE
from launcher_support import HOST_JAVA

PAGE = SOURCE / "docs" / "make-your-own-package.md"
BLOCK = re.compile(r"^```(\S+)[ \t]*([^\n]*)\n(.*?)^```[ \t]*$", re.M | re.S)

pytestmark = pytest.mark.skipif(not HOST_JAVA.exists(), reason="no host Java")


def page_blocks():
    """(language, words of the info string, text) of every fenced block, in page order."""
    return [(lang, info.split(), text) for lang, info, text in BLOCK.findall(PAGE.read_text())]


def run_block(text, cwd, env, state):
    """Runs a block of commands in bash from cwd; returns its output and where it ended."""
    script = f'{text}\npwd >"{state}"\n'
    done = subprocess.run(["bash", "-euo", "pipefail", "-c", script], cwd=cwd, env=env,
                          capture_output=True, timeout=240)
    assert done.returncode == 0, (text, done.stdout.decode(), done.stderr.decode())
    return done.stdout.decode("utf-8", "replace").replace("\r", ""), state.read_text().strip()


def test_the_page_from_an_empty_folder_to_a_running_wizard(wine, tmp_path):
    settings = dict(LAUNCHER=str(SOURCE), BUILD=str(BUILD), WINE=WINE, JAVA=str(HOST_JAVA),
                    WINEPREFIX=str(wine.prefix), WINEDEBUG="-all")
    env = dict(wine.env, **settings)
    cwd, state = tmp_path / "author", tmp_path / "cwd.txt"
    cwd.mkdir()
    blocks, output, ran = page_blocks(), None, []
    for lang, info, text in blocks:
        files = [word[5:] for word in info if word.startswith("file=")]
        if files:
            (cwd / files[0]).write_text(text)
        elif lang == "sh" and info == ["env"]:
            # The settings the reader adapts: this run supplies each of them.
            assert set(re.findall(r"^(?:export\s+)?(\w+)=", text, re.M)) == set(settings)
        elif lang == "sh" and info == ["interactive"]:
            continue  # waits for a click
        elif lang == "sh":
            before = sorted((p.name, p.stat().st_mtime_ns) for p in cwd.iterdir())
            output, cwd = run_block(text, cwd, env, state)
            cwd = type(tmp_path)(cwd)
            if info == ["check"]:
                after = sorted((p.name, p.stat().st_mtime_ns) for p in cwd.iterdir())
                assert [f for f in after if f[0] != "check.log"] == before
                assert (cwd / "check.log").read_bytes().strip()
            ran.append(text)
        elif lang == "output" and output is not None:
            # The lines the page shows, in its order, among what the commands printed.
            printed = iter(output.splitlines())
            for line in text.splitlines():
                assert line in printed, (line, output)
    assert len(ran) >= 4 and (cwd / "installed.txt").exists()
    assert not (cwd / "install.jar").exists() and not (cwd / "native.properties").exists()
