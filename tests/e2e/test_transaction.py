"""Providing a JVM is one transaction: the JVM is expanded into a stage beside its folder, proved
there, moved into its folder (chosen by its own bitness) and registered last. A failure leaves
nothing; a killed run's leftovers do not stop the next run; the folder is always below Program
Files or the user's own Programs, never at a drive's root, in the Windows directory or on PATH."""
import hashlib
import io
import zipfile

import pytest

from http_server import HttpServer
from conftest import stub
from launcher_support import (JRE_KEY, JVM_BITS, OTHER_STUBS, WIZARD_CONTROL, JvmAt, StubJvm,
                              bundle_control, compressed_jvm, control_text, error_texts, javasoft,
                              layout, programs_dir, register, run_launcher, trace_texts)

TOP = "jdk-17.0.15+6-jre"
FOLDER = "\\JavaSoft\\JRE17.0\\17.0.15"


def archive(version="17.0.15", stubs=None):
    """A vendor's zip of the stub JVM (of the other build with stubs) reporting version."""
    jvm = ((stubs / "stubjvm.exe") if stubs else stub("stubjvm")).read_bytes()
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(f"{TOP}/bin/javaw.exe", jvm)
        z.writestr(f"{TOP}/bin/stubjvm.ini", f"version={version}\n")
        z.writestr(f"{TOP}/release", f'JAVA_VERSION="{version}"\n')
    return out.getvalue()


def download_control(url, data, **values):
    return control_text(**dict(dict(
        WIZARD_CONTROL, jvmMinVersion="17", jvmVersion="17.0.15", jvmName="JRE",
        jvmInstallerType="downloadJvm", jvmDownloadUrl=url, jvmHomeDir="./" + TOP,
        jvmDownloadSha256="sha256:" + hashlib.sha256(data).hexdigest().upper()), **values))


def nothing_left(wine):
    """No JVM folder, stage, registry value or program copy anywhere the launcher may put one."""
    drive = wine.drive_c
    left = [p for p in (drive / "Program Files", drive / "Program Files (x86)")
            for p in p.rglob("*") if "JavaSoft" in str(p) or "kivstage" in str(p)]
    left += [p for p in (drive / "jvm", drive / "windows" / "jvm", drive / "windows" /
                         "system32" / "jvm", drive / "windows" / "javaw.exe") if p.exists()]
    return left == [] and javasoft(wine, 64) == javasoft(wine, 32) == {}


# Regression: a JVM that failed its proof stayed installed and registered, and each run added a
# copy (at the drive's root, too).
@pytest.mark.parametrize("kind", ["download", "compressed"])
def test_jvm_that_fails_its_proof_leaves_nothing_after_one_run_or_two(wine, workdir, tmp_path,
                                                                      kind):
    data = archive("11.0.2")
    (tmp_path / "jdk.zip").write_bytes(data)
    with HttpServer(tmp_path) as server:
        for _ in range(2):
            if kind == "download":
                layout(wine, workdir, download_control(server.url("jdk.zip"), data))
            else:
                layout(wine, workdir, bundle_control(jvmMinVersion="17", jvmVersion="17.0.15"))
                compressed_jvm(wine, workdir, version="11.0.2")
            assert run_launcher(wine, workdir, "-q", "x") == 0
            errors = error_texts(workdir)
            assert any(e.startswith("JVM refused: the JVM from ") and
                       e.endswith(" reported version 11.0.2, outside the limits") for e in errors)
            assert "The Java runtime that was provided reports version 11.0.2, but this " \
                "installation needs 17 or a later version." in errors, errors
            assert nothing_left(wine)
            (workdir / "errors.log").unlink()
        assert server.requests == (2 if kind == "download" else 0)


def leftover(wine, kind):
    """What a killed run of the download left, and where the next run puts the JVM."""
    home = programs_dir(JVM_BITS) + FOLDER
    folder = wine.unixpath(home)
    if kind == "partial":  # part of the archive's files in the final folder, our record beside
        (folder / TOP / "bin").mkdir(parents=True)
        (folder / TOP / "bin" / "stubjvm.ini").write_text("version=17.0.15\n")
        (folder / "__kivjvm.txt").write_text("an earlier run\n")
    elif kind == "stage":  # killed during the expansion
        (folder.parent / "~kivstage-4000-1" / TOP / "bin").mkdir(parents=True)
    else:  # placed and never registered
        with zipfile.ZipFile(io.BytesIO(archive())) as z:
            z.extractall(folder)
    return home


# Regression: a killed run left part of the JVM in its folder, and every later run downloaded the
# archive again and failed with "the file exists already".
@pytest.mark.parametrize("kind", ["partial", "stage", "unregistered"])
def test_next_run_after_a_killed_one_ends_with_one_working_jvm(wine, workdir, tmp_path, kind):
    data = archive()
    (tmp_path / "jdk.zip").write_bytes(data)
    home = leftover(wine, kind)
    with HttpServer(tmp_path) as server:
        layout(wine, workdir, download_control(server.url("jdk.zip"), data))
        assert run_launcher(wine, workdir, "-q", "x") == 0
        assert server.requests == (0 if kind == "unregistered" else 1)
    jvm = JvmAt(wine, f"{home}\\{TOP}")
    assert jvm.kinds() == ["test", "wizard"] and error_texts(workdir) == [], trace_texts(workdir)
    assert javasoft(wine)["JRE\\17.0.15"] == {"JavaHome": f"{home}\\{TOP}".lower()}
    parent = wine.unixpath(home).parent
    assert sorted(p.name for p in parent.iterdir()) == ["17.0.15"]  # one JVM, no stage


def test_folder_someone_else_filled_is_in_the_way_and_named(wine, workdir, tmp_path):
    data = archive()
    (tmp_path / "jdk.zip").write_bytes(data)
    home = programs_dir(JVM_BITS) + FOLDER
    (wine.unixpath(home) / "notes").mkdir(parents=True)
    with HttpServer(tmp_path) as server:
        layout(wine, workdir, download_control(server.url("jdk.zip"), data))
        assert run_launcher(wine, workdir, "-q", "x") == 0
    errors = error_texts(workdir)
    assert f"The JVM's folder {home} is in the way: it holds notes, which no run of the " \
        "installer put there" in errors, errors
    assert [p.name for p in wine.unixpath(home).iterdir()] == ["notes"]
    assert javasoft(wine) == {} and not list(wine.unixpath(home).parent.glob("~kivstage*"))


# Regression: an empty leftover folder sent an administrator's JVM to the drive's root; an invalid
# predefined folder sent it into the Windows directory's system32.
@pytest.mark.parametrize("install_dir", [None, "[$ProgFilesDir]\\", "[$WinDir]Vm", "[$Other]\\x"],
                         ids=["empty-leftover", "programs-alone", "windows-run-on", "unknown"])
def test_jvm_goes_below_programs_whatever_is_there_or_asked(wine, workdir, install_dir):
    home = programs_dir(JVM_BITS) + "\\JavaSoft\\JRE1.6\\1.6.0"
    if install_dir is None:
        wine.unixpath(home).mkdir(parents=True)
    layout(wine, workdir, bundle_control(predefinedJvmInstallDir=install_dir))
    compressed_jvm(wine, workdir, version="1.6.0")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert JvmAt(wine, home).kinds() == ["test", "wizard"] and error_texts(workdir) == []
    windows = wine.drive_c / "windows"
    assert not [p for p in (wine.drive_c / "jvm", windows / "jvm", windows / "system32" / "jvm",
                            windows / "Vm", windows / "x") if p.exists()]


# The JVM's own bitness chooses its folder and registry view, not the program that brings it.
# Regression: a 32-bit self-extractor's 64-bit JVM went below Program Files (x86) and was
# registered in the 64-bit view.
@pytest.mark.parametrize("kind", ["compressed", "download"])
@pytest.mark.parametrize("other_jvm", [True, False], ids=["other-bitness-jvm", "same-bitness-jvm"])
def test_jvm_goes_by_its_own_bitness(wine, workdir, tmp_path, kind, other_jvm):
    if not OTHER_STUBS:
        pytest.skip("the other build's stub programs are not built")
    bits = 96 - JVM_BITS if other_jvm else JVM_BITS
    jvm_stubs = OTHER_STUBS if other_jvm else stub("stubjvm").parent
    data = archive(stubs=jvm_stubs)
    (tmp_path / "jdk.zip").write_bytes(data)
    home = programs_dir(bits) + FOLDER
    with HttpServer(tmp_path) as server:
        if kind == "download":
            layout(wine, workdir, download_control(server.url("jdk.zip"), data))
            home += "\\" + TOP
        else:
            # The self-extractor of the other bitness than the JVM it holds.
            layout(wine, workdir, bundle_control(jvmMinVersion="17", jvmVersion="17.0.15"))
            compressed_jvm(wine, workdir, stubs=OTHER_STUBS if not other_jvm else None,
                           version="17.0.15", jvm=wine.winpath(jvm_stubs / "stubjvm.exe"))
        assert run_launcher(wine, workdir, "-q", "x") == 0
    assert JvmAt(wine, home).kinds() == ["test", "wizard"], trace_texts(workdir)
    assert javasoft(wine, bits)["JRE\\17.0.15"] == {"JavaHome": home.lower()}
    assert javasoft(wine, 96 - bits) == {}
    assert not (wine.unixpath(programs_dir(96 - bits)) / "JavaSoft").exists()


def test_jvm_home_the_archive_does_not_hold_leaves_nothing_and_names_what_it_holds(
        wine, workdir, tmp_path):
    data = archive()
    (tmp_path / "jdk.zip").write_bytes(data)
    with HttpServer(tmp_path) as server:
        url = server.url("jdk.zip")
        layout(wine, workdir, download_control(url, data, jvmHomeDir="./jdk-17"))
        assert run_launcher(wine, workdir, "-q", "x") == 0
    errors = error_texts(workdir)
    assert f"The JVM's home ./jdk-17 is not in {url}, which holds: {TOP}" in errors, errors
    assert f"The Java runtime's folder ./jdk-17 is not in what was provided, which holds {TOP}." \
        in errors and nothing_left(wine)


# Regression: a wizard whose main class is missing on the JVM found had a runtime downloaded,
# installed and registered for it, to fail the same way.
def test_wizard_fault_no_jvm_mends_provides_no_jvm(wine, workdir, tmp_path):
    found = StubJvm(wine, "jdk17", "17.0.15", missingClass="SampleWizard")
    register(wine, [(JRE_KEY, "17.0", "15", found.winhome)], JVM_BITS)
    data = archive()
    (tmp_path / "jdk.zip").write_bytes(data)
    with HttpServer(tmp_path) as server:
        layout(wine, workdir, download_control(server.url("jdk.zip"), data))
        assert run_launcher(wine, workdir, "-q", "x") == 0
        assert server.requests == 0
    assert "The main class SampleWizard of the install wizard was not found." in \
        error_texts(workdir)
    assert not (wine.unixpath(programs_dir(JVM_BITS)) / "JavaSoft").exists()
