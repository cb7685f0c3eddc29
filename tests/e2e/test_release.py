"""The release (scripts/release.sh), made twice in two copies of the source tree: once signed
with a throwaway certificate, once not. The builds match to the byte, both programs carry a
SHA-256 signature by that certificate and the version of VERSION, and the signed programs run
the release's sample package under Wine on the host's Java."""
import hashlib
import os
import shutil
import struct
import subprocess
import zipfile

import pytest

from conftest import SOURCE, read_text
from launcher_support import host_jdk, run_launcher

VERSION = (SOURCE / "VERSION").read_text().strip()
NAME = f"launcher-{VERSION}"
PROGRAMS = ["win64/installer.exe", "win32/installer.exe", "sample/installer.exe"]


def release(tree, *args, env=None):
    done = subprocess.run(["bash", "scripts/release.sh", "-j2", *args], cwd=tree, timeout=900,
                          env=dict(os.environ, **(env or {})), capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr
    return tree / "dist"


def source_copy(target):
    # What a fresh checkout holds: the tree without builds, releases and git's own files.
    top = lambda folder, names: [n for n in names if n == "__pycache__" or (
        folder == str(SOURCE) and n in ("build", "dist", ".git"))]
    shutil.copytree(SOURCE, target, ignore=top)
    return target


@pytest.fixture(scope="module")
def releases(tmp_path_factory):
    """(signed release's dist, unsigned release's dist, the certificate in PEM)."""
    keys = tmp_path_factory.mktemp("keys")
    cert, key, pfx, password = (keys / n for n in ("cert.pem", "key.pem", "cert.pfx", "pass"))
    password.write_text("not on the command line\n")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Throwaway Distributor", "-addext", "extendedKeyUsage=codeSigning",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
                    "-passout", f"file:{password}"], check=True, capture_output=True)
    # Two folders of different depth, built one after the other.
    signed = release(source_copy(tmp_path_factory.mktemp("a") / "src"), "--sign", str(pfx),
                     env={"RELEASE_SIGN_PASSWORD": password.read_text().rstrip("\n")})
    unsigned = release(source_copy(tmp_path_factory.mktemp("b") / "deeper" / "launcher"))
    return signed, unsigned, cert


def sums(path):
    return dict(line.split("  ", 1)[::-1] for line in path.read_text().splitlines())


def test_two_builds_in_two_folders_give_the_same_bytes(releases):
    signed, unsigned, _ = releases
    built = sums(unsigned / f"{NAME}.unsigned.sha256")
    assert sums(signed / f"{NAME}.unsigned.sha256") == built == sums(unsigned / NAME / "SHA256SUMS")
    assert sorted(built) == sorted(["README.md", "TestJvm.class", "docs/control-file.md",
                                    "docs/download-progress.png", "docs/download.md",
                                    "docs/make-your-own-package.md", "docs/where-the-jvm-goes.md",
                                    "docs/wizard.md",
                                    "sample/SampleWizard.java", "sample/TestJvm.class",
                                    "sample/sample-wizard.jar", "sample/installer.exe",
                                    "sample/kiv.control", *PROGRAMS[:2]])
    # Signing changes the programs only; the folder's sums are those of the signed files.
    shipped = sums(signed / NAME / "SHA256SUMS")
    assert sorted(f for f in built if shipped[f] != built[f]) == sorted(PROGRAMS)
    for dist in (signed, unsigned):
        subprocess.run(["sha256sum", "--quiet", "-c", "SHA256SUMS"], cwd=dist / NAME, check=True)
        # The zip is the folder, entries sorted, one time for all.
        with zipfile.ZipFile(dist / f"{NAME}.zip") as bundle:
            entries = bundle.infolist()
            assert [e.filename for e in entries] == sorted(
                f"{NAME}/{f}" for f in [*built, "SHA256SUMS"])
            assert len({e.date_time for e in entries}) == 1
            for entry in entries:
                assert bundle.read(entry) == (dist / entry.filename).read_bytes()


def test_both_programs_are_signed_and_carry_the_version(releases):
    signed, _, cert = releases
    for program in PROGRAMS:
        verified = subprocess.run(["osslsigncode", "verify", "-in", signed / NAME / program,
                                   "-CAfile", cert], capture_output=True, text=True)
        assert verified.returncode == 0, verified.stdout + verified.stderr
        assert "Message digest algorithm  : SHA256" in verified.stdout
        assert "Subject: /CN=Throwaway Distributor" in verified.stdout
        # The signature taken off gives back the bytes as built, as README.md says.
        unsigned = signed / f"{program.replace('/', '-')}.unsigned"
        subprocess.run(["osslsigncode", "remove-signature", "-in", signed / NAME / program,
                        "-out", unsigned], check=True, capture_output=True)
        assert hashlib.sha256(unsigned.read_bytes()).hexdigest() == sums(
            signed / f"{NAME}.unsigned.sha256")[program]
    numbers = tuple(int(n) for n in VERSION.split(".")) + (0,)
    for program, bits in zip(PROGRAMS, (64, 32, 32)):
        assert version_block(signed / NAME / program) == (numbers, numbers, {
            "FileDescription": f"Installer launcher {VERSION} ({bits}-bit)",
            "FileVersion": VERSION, "InternalName": "installer",
            "OriginalFilename": "installer.exe", "ProductName": "Installer launcher",
            "ProductVersion": VERSION})


@pytest.mark.parametrize("program", PROGRAMS)
def test_signed_program_runs_the_sample_package_again_and_again(releases, wine, program):
    # The sample in its own folder: its wizard survives the clean-up, and its sums hold after it.
    signed, _, _ = releases
    bundle = wine.drive_c / "bundle"
    shutil.copytree(signed / NAME, bundle)
    workdir = bundle / "sample"
    shutil.copy(signed / NAME / program, workdir / "installer.exe")
    home, _, _ = host_jdk(wine)

    for answers in ("answers.txt", "again.txt"):
        assert run_launcher(wine, workdir, "-q", answers, timeout=300) == 0
        assert read_text(workdir / "wizard-received.txt").splitlines() == [
            "ARG -q", f"ARG {answers}", "PROPERTY configureWinRegistry=true",
            "PROPERTY nativeJvmHomeDir=C:/jvms/hostjdk/jre", "PROPERTY nativeJvmInstalled=false",
            "PROPERTY nativeJvmInstalledInTemp=false", "CLASSPATH unset"], read_text(
            home / "bin" / "hostjava.out")
        assert sorted(p.name for p in workdir.iterdir()) == sorted([
            "SampleWizard.java", "TestJvm.class", "installer.exe", "kiv.control",
            "sample-wizard.jar", "wizard-received.txt"])
        if program == "sample/installer.exe":
            subprocess.run(["sha256sum", "--quiet", "-c", "SHA256SUMS"], cwd=bundle, check=True)


def version_block(exe):
    """A PE file's version block: (file version, product version, {string name: text})."""
    data = exe.read_bytes()
    at = data.index("VS_VERSION_INFO".encode("utf-16-le")) - 6  # the resource, four-byte aligned
    block = data[at:at + struct.unpack_from("<H", data, at)[0]]

    # Each node: length, value length, text or not, its name (UTF-16), its value, its children;
    # name, value and children begin on four-byte boundaries.
    fixed, texts = None, {}

    def walk(at, end):
        nonlocal fixed
        while at < end:
            length, value_length, text = struct.unpack_from("<3H", block, at)
            name_end = at + 6
            while block[name_end:name_end + 2] != b"\0\0":
                name_end += 2
            name = block[at + 6:name_end].decode("utf-16-le")
            value_at = (name_end + 5) & ~3
            value = block[value_at:value_at + value_length * (2 if text else 1)]
            if name == "VS_VERSION_INFO":
                ms, ls, product_ms, product_ls = struct.unpack_from("<4I", value, 8)
                fixed = [(high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
                         for high, low in ((ms, ls), (product_ms, product_ls))]
            elif text and value:
                texts[name] = value.decode("utf-16-le").rstrip("\0")
            walk((value_at + len(value) + 3) & ~3, at + length)
            at = (at + length + 3) & ~3

    walk(0, len(block))
    return fixed[0], fixed[1], texts
