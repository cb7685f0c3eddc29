"""Providing a JVM is one transaction: the JVM is expanded into a stage beside its folder, proved
there, moved into its folder (chosen by its own bitness) and registered last. A failure leaves
nothing; a killed run's leftovers do not stop the next run; the folder is always below Program
Files or the user's own Programs, never at a drive's root, in the Windows directory or on PATH."""
import fnmatch
import hashlib
import io
import zipfile

import pytest

from http_server import HttpServer
from conftest import read_text, stub
from launcher_support import (JRE_KEY, JVM_BITS, OTHER_STUBS, WIZARD_CONTROL, JvmAt, StubJvm,
                              bundle_control, compressed_jvm, control_text, error_texts,
                              expansion_dirs, javasoft, layout, programs_dir, properties_text,
                              register, registry, run_launcher, trace_texts)

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


def nothing_left(wine, registered=({}, {})):
    """No JVM folder, stage, registry value (but those registered) or program copy anywhere the
    launcher may put one."""
    drive = wine.drive_c
    left = [p for p in (drive / "Program Files", drive / "Program Files (x86)")
            for p in p.rglob("*") if "JavaSoft" in str(p) or "kivstage" in str(p)]
    left += [p for p in (drive / "jvm", drive / "windows" / "jvm", drive / "windows" /
                         "system32" / "jvm", drive / "windows" / "javaw.exe") if p.exists()]
    return left == [] and (javasoft(wine, 64), javasoft(wine, 32)) == registered


# A provision that fails says why in errors.log and leaves nothing, also after a second run.
# Regressions: a JVM that failed its proof stayed installed and registered, and each run added a
# copy (at the drive's root, too); a wizard whose main class is missing on the JVM found had a
# runtime downloaded, installed and registered for it, to fail the same way.
OLD_JVM = ["JVM refused: the JVM from * reported version 11.0.2, outside the limits",
           "The Java runtime that was provided reports version 11.0.2, but this installation needs"
           " 17 or a later version."]
FAILED = {  # kind: (the archive's version, requests of the runs, patterns of errors.log's lines)
    "proof-download": ("11.0.2", 2, OLD_JVM),
    "proof-compressed": ("11.0.2", 0, OLD_JVM),
    "home-not-in-archive": ("17.0.15", 1, [
        f"The JVM's home ./jdk-17 is not in http://*/jdk.zip, which holds: {TOP}",
        f"The Java runtime's folder ./jdk-17 is not in what was provided, which holds {TOP}."]),
    "wizard-fault": ("17.0.15", 0, ["The main class SampleWizard of the install wizard was not"
                                    " found."]),
}


@pytest.mark.parametrize("kind", list(FAILED))
def test_failed_provision_says_why_and_leaves_nothing(wine, workdir, tmp_path, kind):
    version, requests, patterns = FAILED[kind]
    if kind == "wizard-fault":
        found = StubJvm(wine, "jdk17", "17.0.15", missingClass="SampleWizard")
        register(wine, [(JRE_KEY, "17.0", "15", found.winhome)], JVM_BITS)
    data = archive(version)
    (tmp_path / "jdk.zip").write_bytes(data)
    home = {"jvmHomeDir": "./jdk-17"} if kind == "home-not-in-archive" else {}
    registered = javasoft(wine, 64), javasoft(wine, 32)
    with HttpServer(tmp_path) as server:
        for _ in range(2 if kind.startswith("proof") else 1):
            if kind == "proof-compressed":
                layout(wine, workdir, bundle_control(jvmMinVersion="17", jvmVersion="17.0.15"))
                compressed_jvm(wine, workdir, version=version)
            else:
                layout(wine, workdir, download_control(server.url("jdk.zip"), data, **home))
            assert run_launcher(wine, workdir, "-q", "x") == 0
            errors = error_texts(workdir)
            assert [p for p in patterns if not fnmatch.filter(errors, p)] == [], errors
            assert nothing_left(wine, registered)
            (workdir / "errors.log").unlink()
    assert server.requests == requests


def leftover(wine, kind):
    """What a killed run of the download (or someone else) left where the next run puts the JVM."""
    home = programs_dir(JVM_BITS) + FOLDER
    folder = wine.unixpath(home)
    if kind == "partial":  # part of the archive's files in the final folder, our record beside
        (folder / TOP / "bin").mkdir(parents=True)
        (folder / TOP / "bin" / "stubjvm.ini").write_text("version=17.0.15\n")
        (folder / "__kivjvm.txt").write_text("an earlier run\n")
    elif kind == "stage":  # killed during the expansion
        (folder.parent / "~kivstage-4000-1" / TOP / "bin").mkdir(parents=True)
    elif kind == "foreign":
        (folder / "notes").mkdir(parents=True)
    else:  # placed and never registered
        with zipfile.ZipFile(io.BytesIO(archive())) as z:
            z.extractall(folder)
    return home


# Regression: a killed run left part of the JVM in its folder, and every later run downloaded the
# archive again and failed with "the file exists already". A folder someone else filled is named.
@pytest.mark.parametrize("kind", ["partial", "stage", "unregistered", "foreign"])
def test_next_run_after_a_killed_one_ends_with_one_working_jvm(wine, workdir, tmp_path, kind):
    data = archive()
    (tmp_path / "jdk.zip").write_bytes(data)
    home = leftover(wine, kind)
    with HttpServer(tmp_path) as server:
        layout(wine, workdir, download_control(server.url("jdk.zip"), data))
        assert run_launcher(wine, workdir, "-q", "x") == 0
    assert kind == "foreign" or server.requests == (kind != "unregistered")
    folder, errors = wine.unixpath(home), error_texts(workdir)
    if kind == "foreign":
        assert f"The JVM's folder {home} is in the way: it holds notes, which no run of the " \
            "installer put there" in errors, errors
        assert [p.name for p in folder.iterdir()] == ["notes"] and javasoft(wine) == {}
    else:
        assert JvmAt(wine, f"{home}\\{TOP}").kinds() == ["test", "wizard"] and errors == []
        assert javasoft(wine)["JRE\\17.0.15"] == {"JavaHome": f"{home}\\{TOP}".lower()}
    assert sorted(p.name for p in folder.parent.iterdir()) == ["17.0.15"]  # one JVM, no stage


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


# The JVM's own bitness chooses its folder and registry view, not the program that brings it; the
# next run finds it there. Regressions: a 32-bit self-extractor's 64-bit JVM went below Program
# Files (x86) and was registered in the 64-bit view; 17.0.15, registered as 17.0 with micro
# version 15, read back as 17.0.15.15.
@pytest.mark.parametrize("kind, other_jvm, version", [
    ("compressed", False, "17.0.15"), ("compressed", True, "1.6.0"), ("download", True, "17.0.15")],
    ids=["compressed-today-17", "compressed-other-bitness-1.6", "download-other-bitness"])
def test_jvm_goes_by_its_own_bitness_and_the_next_run_finds_it(wine, workdir, tmp_path, kind,
                                                              other_jvm, version):
    if other_jvm and not OTHER_STUBS:
        pytest.skip("the other build's stub programs are not built")
    bits = 96 - JVM_BITS if other_jvm else JVM_BITS
    jvm_stubs = OTHER_STUBS if other_jvm else stub("stubjvm").parent
    data = archive(stubs=jvm_stubs)
    (tmp_path / "jdk.zip").write_bytes(data)
    base, _, micro = version.rpartition(".")
    home = f"{programs_dir(bits)}\\JavaSoft\\JRE{base}\\{version}"
    home += "\\" + TOP if kind == "download" else ""
    jvm, seen = JvmAt(wine, home), []
    with HttpServer(tmp_path) as server:
        for run in (1, 2):
            if kind == "download":
                layout(wine, workdir, download_control(server.url("jdk.zip"), data))
            else:  # the self-extractor of the other bitness than the JVM it holds, when built
                layout(wine, workdir, bundle_control(jvmMinVersion=base, jvmVersion=version))
                compressed_jvm(wine, workdir, stubs=None if other_jvm else OTHER_STUBS,
                               version=version, jvm=wine.winpath(jvm_stubs / "stubjvm.exe"))
            assert run_launcher(wine, workdir, "-q", "x") == 0
            seen += [read_text(workdir / "jinstall.log"), read_text(workdir / "errors.log"),
                     jvm.properties().decode(), str(javasoft(wine, bits))]
            assert jvm.kinds() == ["test", "wizard"] * run, trace_texts(workdir)
            assert javasoft(wine, bits) == registry(home, version) and javasoft(wine, 96 - bits) == {}
            if run == 1:
                assert jvm.properties() == properties_text(home, installed=True)
        assert server.requests == (kind == "download")
    assert not (wine.unixpath(programs_dir(96 - bits)) / "JavaSoft").exists()
    assert len(expansion_dirs(workdir)) == (kind == "compressed")  # expanded once
    found = [t for t in trace_texts(workdir) if t.startswith("JVM found under")]
    assert found[0].endswith(f" ({bits}-bit view)"), found
    if base != "1.6":
        assert found == [f"JVM found under HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JRE\\{version}"
                         f" ({bits}-bit view)"]
        assert not [text for text in seen if f"{version}.{micro}" in text]
