"""The launcher installs a JVM when none fits: the package's compressed JVM is expanded, registered
and proved, or its JVM installer program is run and the JVM it installed found."""
import subprocess

import pytest

from conftest import read_text
from launcher_support import (CLEANUP, JRE_KEY, JVM_BITS, JvmAt, StubJvm, bundle_control,
                              cleanup_runs, compressed_jvm, error_texts, expansion_dirs, javasoft,
                              layout, programs_dir, properties_text, put, register, registry,
                              run_launcher, staged, trace_texts)
from shell_support import DISK_SPACE


# Below the Programs folder of the stub JVM's bitness, the build's own.
NEW_HOME = programs_dir(JVM_BITS) + "\\JavaSoft\\JRE1.6\\1.6.0"
REGISTRY = registry(NEW_HOME, "1.6.0")
POLICY = "lib\\security\\java.policy"
SETUP_INI = "C:\\work\\jvmsetup.ini"


def setup_control(wine, workdir, **settings):
    # The program runs in the JVM directory: its settings are named on its command line.
    compressed_jvm(wine, workdir, "jvmsetup.exe", record="C:\\jvmsetup.runs", **settings)
    return bundle_control(jvmInstallerType="thirdPartyJvmInstaller", jvmSelfExtractor="",
                          jvmInstallerBinary="jvmsetup.exe",
                          jvmInstallerCommand="jvmsetup.exe/*/*/*-config/*/*/*" + SETUP_INI)


def test_compressed_jvm_is_expanded_registered_runs_the_wizard_and_is_found_next_time(
        wine, workdir):
    # A java.exe of the system's own, and a system directory as on Windows.
    windows = wine.drive_c / "windows"
    (windows / "java.exe").write_bytes(b"the system's own")
    (windows / "system").mkdir(exist_ok=True)
    layout(wine, workdir, bundle_control(
        userSecurityPolicyFilename="${java.home}/lib/security/java.policy",
        systemSecurityPolicyFilename="${java.home}/lib/security/system.policy",
        keystoreFilename="${java.home}/lib/security/app.keystore"))
    for name in ("java.policy", "system.policy", "app.keystore"):
        (workdir / name).write_text("package " + name)
    compressed_jvm(wine, workdir, version="1.6.0", msvcrt=1, files=POLICY)

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert expansion_dirs(workdir) == [staged(NEW_HOME)] and javasoft(wine) == REGISTRY
    jvm = JvmAt(wine, NEW_HOME)
    assert read_text(windows / "javaw.exe") == read_text(jvm.bindir / "javaw.exe") != ""
    assert (windows / "java.exe").read_bytes() == b"the system's own"
    assert read_text(windows / "system" / "msvcrt.dll") == read_text(jvm.bindir / "msvcrt.dll")
    assert jvm.kinds() == ["test", "wizard"] and jvm.runs()[0]["args"][-1] == "."
    assert jvm.properties() == properties_text(NEW_HOME, installed=True) and not error_texts(workdir)
    # Not the Java Plug-in: no backups. Regression: a system policy named with ${java.home} was
    # never installed.
    assert {p.name: p.read_text() for p in (jvm.home / "lib" / "security").iterdir()} == {
        "java.policy": f"expanded {POLICY}\n", "app.keystore": "package app.keystore",
        "system.policy": "package system.policy"}

    def run_again(**settings):
        layout(wine, workdir, bundle_control(**settings))
        assert run_launcher(wine, workdir, "-q", "x") == 0
        assert expansion_dirs(workdir) == [staged(NEW_HOME)] and javasoft(wine) == REGISTRY
        return trace_texts(workdir)

    # A second run finds it in the registry.
    assert "JRE registry entry had correct jvm info: true" in run_again()
    assert jvm.kinds() == ["test", "wizard"] * 2
    assert jvm.properties() == properties_text(NEW_HOME.lower(), installed=False, in_temp=False)
    # Unregistered, the JVM where the package would expand its own is used and registered again,
    # also when asked for by an old "jre" name (taken as javaw.exe: the run traces).
    wine.reg_import("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft]\n", JVM_BITS)
    (windows / "javaw.exe").unlink()  # else found on the PATH
    assert "found existing jvm directory: true" in run_again(jvmCommandName="jre.exe")
    assert jvm.properties() == properties_text(NEW_HOME, installed=False, in_temp=False)
    # Unregistered again, it is found through its program copy in the Windows directory, which
    # reports the JVM's own home (regression: the wizard was told C:/windows).
    wine.reg_import("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft]\n", JVM_BITS)
    (windows / "stubjvm.ini").write_text(f"version=1.6.0\njavaHome={NEW_HOME}\n")
    layout(wine, workdir, bundle_control())
    assert run_launcher(wine, workdir, "-q", "x") == 0
    assert "JVM found under PATH C:\\windows\\javaw.exe" in trace_texts(workdir)
    assert (windows / "stubjvm.properties").read_bytes() == properties_text(
        NEW_HOME, installed=False, in_temp=False)


@pytest.mark.parametrize("work_name, archive_dir, install_dir", [
    ("R:\\", "", "[$AppDir]\\jre"),
    ("R:\\", "jvm", None),
    # Where packages land on the older systems: the compressed JVM is started by its short name.
    ("C:\\Documents and Settings\\user\\Local Settings\\Temp", "", "[$AppDir]\\jre"),
], ids=["root-temporary-jvm", "root-archive-in-jvm", "blanks-temporary-jvm"])
def test_compressed_jvm_named_by_its_path_at_a_drive_root_or_temporary(
        wine, tmp_path, work_name, archive_dir, install_dir):
    work = tmp_path / "drive_r" if work_name == "R:\\" else wine.unixpath(work_name)
    work.mkdir(parents=True)
    if work_name == "R:\\":
        (wine.prefix / "dosdevices" / "r:").symlink_to(work)
    (wine.drive_c / "start").mkdir()
    layout(wine, work, bundle_control(jvmSelfExtractor="jvm/jre-win.exe",
                                      predefinedJvmInstallDir=install_dir))
    put(work, {"startdir.txt": b"C:\\start\r\n", "cleanup.exe": CLEANUP})
    (work / archive_dir).mkdir(exist_ok=True)
    compressed_jvm(wine, work / archive_dir, version="1.6.0")

    assert run_launcher(wine, work, "-q", "x") == 0

    texts = trace_texts(work)
    assert "Java wizard launched successfully" in texts and error_texts(work) == [], texts
    if " " in work_name:
        assert any(t.startswith("issued command to expand: C:\\DOCU") for t in texts)
    if install_dir:
        # Into the jvm subdirectory (whatever follows the variable), removed at clean-up.
        assert expansion_dirs(work) == [staged(work_name.rstrip("\\") + "\\jvm")]
        assert javasoft(wine) == {} and not (wine.drive_c / "windows" / "javaw.exe").exists()
        assert "jvmInstalledInTemp true" in texts  # the clean-up read the wizard's properties
        # Regression: the console host of the expansion run, started in the JVM directory, may
        # outlive the run for a moment and kept the emptied directory itself.
        assert not (work / "jvm").exists()
    else:
        assert expansion_dirs(work / archive_dir) == [staged(NEW_HOME)]
        test_run, wizard_run = JvmAt(wine, NEW_HOME).runs()
        assert test_run["args"][-1] == "." and test_run["cwd"] == wizard_run["cwd"] == work_name
        assert JvmAt(wine, NEW_HOME).properties() == properties_text(NEW_HOME, installed=True)
    # The clean-up happened in the work directory.
    assert not [n for n in ("native.properties", "install.jar", "jinstall.sem", "startdir.txt")
                if (work / n).exists()]
    assert read_text(wine.drive_c / "start" / "jinstall.log") == read_text(work / "jinstall.log")
    assert cleanup_runs(work, 30) == ["RUN", "ARG " + work_name]


@pytest.mark.parametrize("installed", ["jre", "C:\\Vendor\\jre6"], ids=["subdir", "elsewhere"])
def test_installer_program_that_installs_into_a_subdirectory_or_registers_a_jvm_elsewhere(
        wine, workdir, installed):
    elsewhere = installed.startswith("C:")
    layout(wine, workdir, setup_control(wine, workdir, version="1.6.0_20", home=installed,
                                        register="1.6.0_20" if elsewhere else ""))

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # Run once from the chosen directory, then removed (with the directory when left empty).
    assert read_text(wine.drive_c / "jvmsetup.runs").splitlines()[1:] == [
        "ARG -config", "ARG " + SETUP_INI, "CWD " + NEW_HOME, "END"]
    assert not wine.unixpath(NEW_HOME + "\\jvmsetup.exe").exists()
    assert wine.unixpath(NEW_HOME).exists() != elsewhere
    home = installed if elsewhere else NEW_HOME + "\\jre"
    # The home is derived from the JVM found; the program installed it, not the launcher.
    assert JvmAt(wine, home).kinds() == ["test", "wizard"] and error_texts(workdir) == []
    assert JvmAt(wine, home).properties() == properties_text(home, installed=False, in_temp=False)


NO_JVM_FOUND = "No installed JVM was found in the registry, JAVA_HOME or PATH"


# What errors.log says of a failed provisioning: the reason, the refused candidates only when the
# run ended without a JVM. Regressions: a program that ended with a failure exit code was noticed
# only by the JVM missing after it, and the directories made for it stayed; a run whose JVM was
# installed still listed the refused candidates of the search before.
@pytest.mark.parametrize("kind", ["other-version", "no-jvm", "expansion-exit", "installer-exit",
                                  "no-install-jar"])
def test_failed_provisioning_says_why(wine, workdir, kind):
    failing = {"exit": 3} if kind.endswith("exit") else {}
    if kind in ("other-version", "installer-exit"):
        # 1.7.0 meets the installation's limits but is not the 1.6.0 the package installs.
        layout(wine, workdir, setup_control(wine, workdir, version="1.7.0", home="jre", **failing))
    else:
        compressed_jvm(wine, workdir, version="1.6.0", **failing,
                       **({"programs": "java.exe"} if kind == "no-jvm" else {}))
        layout(wine, workdir, bundle_control())
    if kind == "no-install-jar":
        (workdir / "install.jar").unlink()
    assert run_launcher(wine, workdir, "-q", "x") == 0
    errors = error_texts(workdir)
    if kind == "no-install-jar":
        assert errors[0] == "install.jar does not exist." and NO_JVM_FOUND not in errors, errors
        assert "The install wizard's archive install.jar is missing." in errors
        return
    assert NO_JVM_FOUND in errors and "launching java installer" not in trace_texts(workdir)
    # The disk is named only when it is full.
    assert "Unable to install JRE 1.6.0." in errors and DISK_SPACE.split("\r")[0] not in str(errors)
    assert javasoft(wine) == {}
    if kind == "no-jvm":
        assert errors[:2] == ["Unable to find JVM executable",
                               f"Unable to configure JVM in {NEW_HOME}"]
    if kind.endswith("exit"):
        program = "C:\\work\\jre-win.exe" if kind == "expansion-exit" else "jvmsetup.exe"
        assert errors[0] == f"{program} ended with exit code 3; it was to install the JVM into " \
            + NEW_HOME
        # Nothing was put down: the directories made for it are gone.
        assert not wine.unixpath(NEW_HOME).parents[1].exists()


# Regressions: the French record's é was written as the three bytes of a replacement character; a
# keystore for ${user.home} went into the Windows directory, and a profiles folder was made there.
@pytest.mark.parametrize("lc_all, renamed", [("de_DE", "Alt: zu"), ("fr_FR", "Renommé en")])
def test_plug_in_with_its_home_inside_the_archive_backs_up_a_policy_and_leaves_the_registry(
        wine, workdir, lc_all, renamed):
    wine.env["LC_ALL"] = lc_all + ".UTF-8"  # the display language decides
    home = programs_dir(JVM_BITS) + "\\JavaSoft\\Java Plug-in1.6\\1.6.0\\jre"
    layout(wine, workdir, bundle_control(
        jvmName="Java Plug-in", jvmHomeDir="./jre", configureWinRegistry="no",
        userSecurityPolicyFilename="${java.home}/lib/security/java.policy",
        keystoreFilename="${user.home}/.keystore"))
    (workdir / "java.policy").write_text("package policy\n")
    (workdir / ".keystore").write_text("package keystore")
    compressed_jvm(wine, workdir, version="1.6.0", home="jre", files=POLICY)

    assert run_launcher(wine, workdir, "-q", "x") == 0

    jvm = JvmAt(wine, home)
    assert jvm.kinds() == ["test", "wizard"]
    assert jvm.properties() == properties_text(home, installed=True, registry=False)
    assert "Windows registry unchanged" in trace_texts(workdir) and javasoft(wine) == {}
    assert not (wine.drive_c / "windows" / "javaw.exe").exists()
    assert {p.name: p.read_text() for p in (jvm.home / "lib" / "security").iterdir()} == {
        "java.001": f"expanded {POLICY}\n", "java.policy": "package policy\n"}
    # The change record as the wizard found it, in the user's language.
    assert (jvm.bindir / "stubjvm.changes").read_bytes() == \
        f"{renamed} {home}\\{POLICY} identitydb.001\r\n".encode()
    assert not (workdir / "changes.txt").exists()
    # Java's user.home on Windows: the user's profile.
    assert [p.read_text() for p in (wine.drive_c / "users").glob("*/.keystore")] == [
        "package keystore"]
    assert not any((wine.drive_c / "windows" / n).exists() for n in (".keystore", "profiles"))


def test_wizard_that_fails_on_the_jvm_found_gets_one_retry_on_a_freshly_expanded_jvm(
        wine, workdir):
    found = StubJvm(wine, "jre160", "1.6.0_31", wizard=False)
    register(wine, [(JRE_KEY, "1.6", "0_31", found.winhome)], JVM_BITS)
    layout(wine, workdir, bundle_control())
    compressed_jvm(wine, workdir, version="1.6.0")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # The registry keeps its entries.
    assert expansion_dirs(workdir) == [staged(NEW_HOME)]
    assert [found.kinds(), JvmAt(wine, NEW_HOME).kinds()] == [["test", "wizard"]] * 2
    assert JvmAt(wine, NEW_HOME).properties() == properties_text(NEW_HOME, installed=True)
    assert javasoft(wine)[JRE_KEY + "\\1.6"]["JavaHome"] == found.winhome
    assert error_texts(workdir) == ["Java wizard not started properly",
                                    "the wizard's JVM ended with exit code 0"]


def user_folder(wine):
    out = wine.run("cmd", "/c", "echo %LOCALAPPDATA%").stdout.decode("latin-1").strip()
    assert out and "%" not in out
    return out


# A standard user cannot write Program Files: the JVM goes below the user's own Programs folder
# (also through [$ProgFilesDir]) and is registered for that user alone, never machine-wide, never
# where every user can write; the next run, from a fresh work directory, finds it there. A named
# folder the user cannot write is refused, said in errors.log, and nothing goes anywhere else.
@pytest.mark.parametrize("install_dir", [None, "[$ProgFilesDir]\\App\\jre",
                                         "C:\\Program Files\\App\\jre"],
                         ids=["own-programs", "programs-variable", "unwritable"])
def test_standard_users_jvm_goes_below_their_own_folder_and_is_registered_for_them(
        user_wine, install_dir):
    wine, workdir = user_wine, user_wine.drive_c / "work"
    home = user_folder(wine) + ("\\Programs\\App\\jre" if install_dir else
                                "\\Programs\\JavaSoft\\JRE1.6\\1.6.0")
    for run in (1, 2):
        subprocess.run(["rm", "-rf", str(workdir)], check=True)
        workdir.mkdir()
        layout(wine, workdir, bundle_control(predefinedJvmInstallDir=install_dir))
        compressed_jvm(wine, workdir, version="1.6.0")
        assert run_launcher(wine, workdir, "-q", "x") == 0
        if install_dir and not install_dir.startswith("[$"):
            assert expansion_dirs(workdir) == [] and javasoft(wine, 64, "HKEY_CURRENT_USER") == {}
            assert f"Unable to install the JVM into {install_dir} (Windows error 5: Access " \
                "denied)" in error_texts(workdir), error_texts(workdir)
            return
        jvm = JvmAt(wine, home)
        assert jvm.kinds() == ["test", "wizard"] * run and error_texts(workdir) == []
        assert javasoft(wine, 64, "HKEY_CURRENT_USER") == registry(home, "1.6.0")
        assert javasoft(wine, 64) == javasoft(wine, 32) == {}
        if run == 1:
            assert "\\AppData\\Local\\" in home and expansion_dirs(workdir) == [staged(home)]
            assert not (wine.drive_c / "windows" / "javaw.exe").exists()
        if run == 1 and not install_dir:
            assert jvm.properties() == properties_text(home, installed=True)
            assert "no program copies into the Windows directory: the JVM is its user's alone" in \
                trace_texts(workdir)
    assert expansion_dirs(workdir) == []
    assert any(t.startswith("JVM found under HKEY_CURRENT_USER\\SOFTWARE\\JavaSoft\\")
               for t in trace_texts(workdir)), trace_texts(workdir)
