"""The release (scripts/release.sh), made twice in two copies of the source tree with the example
brand (docs/brand-example): once signed with a throwaway certificate, once not. The builds match to
the byte, both programs carry a SHA-256 signature by that certificate, the version of VERSION and
the brand's names and icon, and the signed programs run the release's sample package under Wine
on the host's Java, again and again."""
import hashlib
import os
import shutil
import subprocess
import zipfile

import pytest

from conftest import INSTALLER, SOURCE, read_text
from launcher_support import host_jdk, run_launcher
from pe_support import ico_images, icon_images, version_block

VERSION = (SOURCE / "VERSION").read_text().strip()
NAME = f"launcher-{VERSION}"
PROGRAMS = ["win64/installer.exe", "win32/installer.exe", "sample/installer.exe"]
BRAND = ["--brand", "docs/brand-example/brand.txt"]


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
    signed = release(source_copy(tmp_path_factory.mktemp("a") / "src"), *BRAND, "--sign", str(pfx),
                     env={"RELEASE_SIGN_PASSWORD": password.read_text().rstrip("\n")})
    unsigned = release(source_copy(tmp_path_factory.mktemp("b") / "deeper" / "launcher"), *BRAND)
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


def test_both_programs_are_signed_and_carry_the_version_and_the_brand(releases):
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
    icon = ico_images(SOURCE / "docs" / "brand-example" / "example.ico")
    for program in PROGRAMS:
        assert version_block(signed / NAME / program) == (numbers, numbers, {
            "FileDescription": "Example Suite setup", "FileVersion": VERSION,
            "InternalName": "installer", "OriginalFilename": "installer.exe",
            "ProductVersion": VERSION, "ProductName": "Example Suite",
            "CompanyName": "Example Software Ltd.",
            "LegalCopyright": "© 2026 Example Software Ltd."})
        assert icon_images(signed / NAME / program) == icon
    # Unbranded (the test build), the block names the launcher and no product.
    assert version_block(INSTALLER)[2] == {
        "FileDescription": f"Installer launcher {VERSION} (64-bit)", "FileVersion": VERSION,
        "InternalName": "installer", "OriginalFilename": "installer.exe",
        "ProductVersion": VERSION}
    assert icon_images(INSTALLER) == ico_images(SOURCE / "shell" / "installer.ico")


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

