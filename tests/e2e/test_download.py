"""The download of a JVM against a local server: fetched into a private temporary file, checked
against its SHA-256 and expanded; every failure leaves nothing expanded, no temporary file, and
names the address and the cause in errors.log. Run through the small fetchjvm program."""
import hashlib
import io
import random
import socket
import zipfile

import pytest

from conftest import BUILD, log_lines
from http_server import HttpServer

FETCHJVM = BUILD / "tools" / "fetchjvm.exe"
HOME = "jdk-17.0.9+9"
JVM = {f"{HOME}/bin/java.exe": b"MZ" + random.Random(1).randbytes(300000),
       f"{HOME}/release": b'JAVA="17"\n', f"{HOME}/lib/modules": b"\0" * 200000}


def archive(files, store=()):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(HOME + "/", b"")
        for name, data in files.items():
            z.writestr(name, data, zipfile.ZIP_STORED if name in store else zipfile.ZIP_DEFLATED)
    return out.getvalue()


GOOD = archive(JVM)
SHA = hashlib.sha256(GOOD).hexdigest()
EVIL = archive({**JVM, f"{HOME}/../../evil.txt": b"x"})


def fetch(wine, workdir, url, sha, stall=None):
    (workdir / "target").mkdir()
    (workdir / "jinstall.log").touch()
    run = wine.run(FETCHJVM, url, sha, "C:\\work\\target", *([stall] if stall else []),
                   cwd=workdir, timeout=60)
    lines = run.stdout.decode("latin-1").splitlines()
    temp = list((wine.drive_c / "users").rglob("jvmdl-*"))
    assert temp == [], "the temporary file stayed"
    return run.returncode, lines


def expanded(workdir):
    return sorted(str(p.relative_to(workdir / "target")).replace("\\", "/")
                  for p in (workdir / "target").rglob("*"))


def test_download_is_verified_expanded_and_traced(wine, workdir, tmp_path):
    (tmp_path / "jdk.zip").write_bytes(GOOD)
    with HttpServer(tmp_path, throttle=200000) as server:
        code, lines = fetch(wine, workdir, server.url("jdk.zip"), SHA.upper())
    assert (code, lines[0]) == (0, "ok")
    assert all((workdir / "target" / name).read_bytes() == data for name, data in JVM.items())
    download, expand = lines[1].split(), lines[2].split()
    assert download[2:] == [str(len(GOOD))] * 2 and int(download[1]) > 1  # slowed: many reports
    total = str(sum(map(len, JVM.values())))
    assert expand[2:] == [total, total]
    trace = log_lines(workdir / "jinstall.log")
    assert any(line.startswith(f"JVM download: {server.url('jdk.zip')}: {len(GOOD)} bytes in ")
               and line.endswith(" ms, SHA-256 " + SHA) for line in trace), trace
    assert f"JVM archive expanded: 4 entries, {total} bytes" in trace
    assert not (workdir / "errors.log").exists()


FAILURES = [
    # (name, served bytes, expected SHA-256, server settings, the cause errors.log names)
    ("wrong hash", GOOD, "0" * 64, {},
     f"SHA-256 mismatch: expected {'0' * 64}, got {SHA}"),
    ("not found", GOOD, SHA, {"status": 404}, "the server answered HTTP status 404"),
    ("truncated", GOOD, SHA, {"cut_after": 5000}, f"truncated: got 5000 of {len(GOOD)} bytes"),
    ("stalled", GOOD, SHA, {"stall_after": 5000}, "timed out"),
    ("escaping entry", EVIL, hashlib.sha256(EVIL).hexdigest(), {},
     f'entry "{HOME}/../../evil.txt": a ".." segment, which would leave the target directory'),
    ("not a zip", b"<html>moved</html>", hashlib.sha256(b"<html>moved</html>").hexdigest(), {},
     "not a zip archive (no central directory)"),
    ("no hash", GOOD, "", {}, "no SHA-256 to check it against"),
]


@pytest.mark.parametrize("served, sha, settings, cause", [f[1:] for f in FAILURES],
                         ids=[f[0] for f in FAILURES])
def test_failed_download_expands_nothing_and_names_the_cause(wine, workdir, tmp_path, served, sha,
                                                             settings, cause):
    (tmp_path / "jdk.zip").write_bytes(served)
    with HttpServer(tmp_path, **settings) as server:
        url = server.url("jdk.zip")
        stall = "2" if "stall_after" in settings else None  # no byte for 2 seconds: timed out
        code, lines = fetch(wine, workdir, url, sha, stall)
    assert code == 1 and cause in lines[0], lines
    assert expanded(workdir) == []
    assert not (wine.drive_c / "evil.txt").exists()
    errors = log_lines(workdir / "errors.log")
    assert len(errors) == 1 and errors[0].startswith(f"JVM download failed: {url}: ")
    assert cause in errors[0]


def test_server_that_is_down(wine, workdir):
    with socket.socket() as s:  # a port that was free a moment ago and has no listener
        s.bind(("127.0.0.1", 0))
        url = f"http://127.0.0.1:{s.getsockname()[1]}/jdk.zip"
    code, lines = fetch(wine, workdir, url, SHA)
    assert code == 1 and lines[0].startswith(f"failed: {url}: "), lines
    assert "server cannot be reached" in lines[0]
    assert expanded(workdir) == []
