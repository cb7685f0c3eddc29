"""jvmInstallerType=downloadJvm against a local server: the vendor's archive is fetched, checked,
expanded where the rules say, registered, proved and run; a failure leaves nothing and errors.log
names the address and the cause. A stalled transfer is proved on tests/tools/fetchjvm.exe."""
import hashlib
import io
import random
import shutil
import socket
import subprocess
import zipfile

import pytest

from conftest import BUILD, WINE, log_lines, stub, wait_for
from http_server import HttpServer
from launcher_support import (JVM_BITS, WIZARD_CONTROL, JvmAt, control_text, error_texts, javasoft,
                              layout, programs_dir, properties_text, registry,
                              trace_texts)
from shell_support import DIALOG, STATUS_CONTROL, screenshot, window_rect, window_text

TOP = "jdk-17.0.15+6-jre"  # the vendor's one top folder
# The stub JVM as a vendor's zip; the padding, stored, lets a slowed transfer last.
JVM = {f"{TOP}/bin/javaw.exe": stub("stubjvm").read_bytes(), f"{TOP}/bin/stubjvm.ini":
       b"version=17.0.15\n", f"{TOP}/release": b'JAVA_VERSION="17.0.15"\n',
       f"{TOP}/lib/modules": random.Random(1).randbytes(600000)}
DOWNLOADED = ("winhttp", "bcrypt")  # the system DLLs of a download


def archive(files):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(TOP + "/", b"")
        for name, data in files.items():
            z.writestr(name, data, zipfile.ZIP_STORED if name.endswith("modules") else None)
    return out.getvalue()


GOOD = archive(JVM)
SHA = hashlib.sha256(GOOD).hexdigest()
EVIL = archive({**JVM, f"{TOP}/../../evil.txt": b"x"})
JAVASOFT = "\\JavaSoft\\JRE17.0\\17.0.15"


def download_control(url, sha=SHA):
    return control_text(**WIZARD_CONTROL, jvmMinVersion="17.0", jvmVersion="17.0.15",
                        jvmName="JRE", jvmInstallerType="downloadJvm", jvmDownloadUrl=url,
                        **({"jvmDownloadSha256": sha} if sha is not None else {}),
                        jvmHomeDir="./" + TOP)


def run(wine, workdir, during=None):
    """A run (with the dialog while during watches it) with Wine's record of loaded DLLs; the
    system DLLs of a download it loaded."""
    if hasattr(wine, "give"):
        wine.give(workdir)
    env = {"WINEDEBUG": "+pid,+loaddll"}
    if during:
        out = subprocess.Popen([WINE, workdir / "installer.exe"], cwd=workdir,
                               stderr=subprocess.PIPE, env=dict(wine.env, **env))
        during()
        out.stderr = out.communicate(timeout=120)[1]
    else:
        out = wine.run(workdir / "installer.exe", "-q", "x", cwd=workdir, env=env)
    assert out.returncode == 0
    assert list((wine.drive_c / "users").rglob("jvmdl-*")) == [], "the temporary file stayed"
    # The launcher's own loads: the lines of the process that loaded installer.exe.
    lines = [line for line in out.stderr.decode("latin-1").lower().splitlines()
             if ":loaddll:" in line]
    launcher = next(line.split(":")[0] for line in lines if "\\installer.exe" in line)
    loads = "\n".join(line for line in lines if line.startswith(launcher + ":"))
    return [dll for dll in DOWNLOADED + ("comctl32", "user32") if f"\\{dll}.dll" in loads]


def watch_progress(wine):
    """The dialog during the slowed transfer, a third of it or more received: its bar, the bytes,
    in the user's language (German)."""
    texts, total = [], len(GOOD) // 1024

    def under_way():
        texts.append(window_text(wine, DIALOG, STATUS_CONTROL, 120000))
        got = texts[-1].partition("Java-Runtime wird heruntergeladen...\r\n")[2].split(" von ")
        return got[-1] == f"{total} KB" and int(got[0].split()[0]) * 3 >= total

    def during():
        assert wait_for(under_way, 60, 0.2), texts
        screenshot("download-progress.png", window_rect(wine, DIALOG))
    return during


@pytest.mark.parametrize("user", [False, True], ids=["admin-dialog-german", "standard-user-quiet"])
def test_jvm_is_downloaded_verified_expanded_registered_and_found_next_time(
        request, tmp_path, user):
    wine = request.getfixturevalue("user_wine" if user else "wine")
    if not user:
        wine.env["LC_ALL"] = "de_DE.UTF-8"
    workdir = wine.drive_c / "work"
    workdir.mkdir()
    if user:
        folder = wine.run("cmd", "/c", "echo %LOCALAPPDATA%").stdout.decode().strip()
        home, hive = f"{folder}\\Programs{JAVASOFT}\\{TOP}", "HKEY_CURRENT_USER"
        # A write probe's folder that some earlier run left in Program Files proves nothing.
        (wine.unixpath(programs_dir(JVM_BITS)) / "__test__zos").mkdir()
    else:
        home, hive = f"{programs_dir(JVM_BITS)}{JAVASOFT}\\{TOP}", "HKEY_LOCAL_MACHINE"
    (tmp_path / "jdk.zip").write_bytes(GOOD)
    jvm = JvmAt(wine, home)
    with HttpServer(tmp_path, throttle=0 if user else 150000) as server:
        url = server.url("jdk.zip")
        # A user and password in the address reach no log.
        written = url.replace("://", "://me:secret@") if user else url
        layout(wine, workdir, download_control(written))
        loaded = run(wine, workdir, during=None if user else watch_progress(wine))
        loaded = [dll for dll in loaded if dll != "user32"]
        assert (loaded, error_texts(workdir)) == (list(DOWNLOADED) + ["comctl32"] * (not user), [])
        assert jvm.kinds() == ["test", "wizard"] and jvm.properties() == properties_text(home, True)
        assert javasoft(wine, 64 if user else JVM_BITS, hive) == registry(home, "17.0.15")
        trace = trace_texts(workdir)
        assert any(t.startswith(f"JVM download: {url}: {len(GOOD)} bytes in ") and
                   t.endswith(" ms, SHA-256 " + SHA) for t in trace), trace
        assert f"JVM archive expanded: 5 entries, {sum(map(len, JVM.values()))} bytes" in trace
        assert not any("secret" in t for t in trace), trace

        # The next run finds the registered JVM, downloads nothing and loads none of it; nor,
        # being quiet, the window system, which the 64-bit launcher imports when first called.
        shutil.rmtree(workdir)
        workdir.mkdir()
        layout(wine, workdir, download_control(url))
        assert run(wine, workdir) == ["user32"] * (JVM_BITS == 32)
        assert server.requests == 1 and error_texts(workdir) == []
    assert jvm.kinds() == ["test", "wizard"] * 2
    assert any(t.startswith(f"JVM found under {hive}\\SOFTWARE\\JavaSoft\\")
               for t in trace_texts(workdir)), trace_texts(workdir)


FAILURES = [
    # (name, served bytes, expected SHA-256, server settings, the cause errors.log names)
    ("wrong hash", GOOD, "0" * 64, {}, f"SHA-256 mismatch: expected {'0' * 64}, got {SHA}"),
    ("server down", GOOD, SHA, None, "server cannot be reached"),
    ("not found", GOOD, SHA, {"status": 404}, "the server answered HTTP status 404"),
    ("sign-in asked", GOOD, SHA, {"status": 401, "challenge": 'Basic realm="jvms"'},
     "the server asks for a user name and password (Basic), which the launcher does not send"),
    ("truncated", GOOD, SHA, {"cut_after": 5000}, f"truncated: got 5000 of {len(GOOD)} bytes"),
    ("escaping entry", EVIL, hashlib.sha256(EVIL).hexdigest(), {},
     f'entry "{TOP}/../../evil.txt": a ".." segment, which would leave the target directory'),
    ("not a zip", b"<html>moved</html>", hashlib.sha256(b"<html>moved</html>").hexdigest(), {},
     "not a zip archive (no central directory)"),
    ("no hash", GOOD, None, {}, None),
]


@pytest.mark.parametrize("served, sha, settings, cause", [f[1:] for f in FAILURES],
                         ids=[f[0] for f in FAILURES])
def test_failed_download_expands_nothing_and_names_the_cause(wine, workdir, tmp_path, served, sha,
                                                             settings, cause):
    (tmp_path / "jdk.zip").write_bytes(served)
    with HttpServer(tmp_path, **(settings or {})) as server, socket.socket() as closed:
        url = server.url("jdk.zip")
        if settings is None:  # a port of ours, bound for the whole run, that listens to nothing
            closed.bind(("127.0.0.1", 0))
            url = f"http://127.0.0.1:{closed.getsockname()[1]}/jdk.zip"
        layout(wine, workdir, download_control(url, sha))
        run(wine, workdir)
    errors = error_texts(workdir)
    if cause:
        failed = [e for e in errors if e.startswith("JVM download failed: ")]
        assert len(failed) == 1 and failed[0].startswith(f"JVM download failed: {url}: ")
        assert cause in failed[0], errors
    else:
        assert server.requests == 0 and "jvmInstallerType is downloadJvm, but jvmDownloadSha256 " \
            "is empty: no JVM is downloaded" in errors, errors
    # The box's text, in errors.log as well: an archive that arrived whole and could not be
    # expanded is no failed download. Nothing was left where the JVM was to go.
    expanded = "zip" in str(cause) or ".." in str(cause)
    assert errors[-2:] == ["The Java runtime was downloaded but could not be expanded."
                           if expanded else "The Java runtime could not be downloaded.",
                           f"The download address is {url}."], errors
    assert not wine.unixpath(programs_dir(JVM_BITS) + "\\JavaSoft").exists()
    assert not list(wine.drive_c.rglob("evil.txt")) and javasoft(wine) == {}


def test_stalled_transfer_is_given_up(wine, workdir, tmp_path):
    (tmp_path / "jdk.zip").write_bytes(GOOD)
    (workdir / "target").mkdir()
    with HttpServer(tmp_path, stall_after=5000) as server:
        url = server.url("jdk.zip")  # no byte for 2 seconds: timed out
        out = wine.run(BUILD / "tools" / "fetchjvm.exe", url, SHA, "C:\\work\\target", 2,
                       cwd=workdir, timeout=60)
    assert out.returncode == 1 and list((workdir / "target").iterdir()) == []
    assert list((wine.drive_c / "users").rglob("jvmdl-*")) == []
    first = out.stdout.decode().splitlines()[0]
    assert first.startswith(f"failed: {url}: ") and "timed out" in first
    assert log_lines(workdir / "errors.log") == ["JVM download failed: " + first[8:]]
