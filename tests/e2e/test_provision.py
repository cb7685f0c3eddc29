"""The launcher installs a JVM when none fits: the package's compressed JVM is expanded, registered
and proved, or its JVM installer program is run and the JVM it installed found; the wizard then
runs on the new JVM, which a later run on the same machine finds in the registry."""
import pytest

from conftest import read_text
from launcher_support import (JRE_KEY, StubJvm, error_texts, layout, register, run_launcher,
                              trace_texts)
from provision_support import (BUNDLE_CONTROL, SETUP_CONTROL, JvmAt, compressed_jvm,
                               expansion_dirs, javasoft_values, jvm_setup, properties_text,
                               provision_control, setup_runs, stub_jvm_program, subkeys,
                               windows_dir)
from shell_support import (BOX_TEXT_CONTROL, DISK_SPACE, ERROR_BOX, OTHER_CAUSES, press_ok,
                           seed_locale, start_launcher, wait_exit, wait_window, window_count,
                           window_text)

NEW_HOME = "C:\\Program Files\\JavaSoft\\JRE1.6\\1.6.0"
WIZARD_DONE = "Java wizard launched successfully"


def wizard_program(workdir):
    """The JVM programs the wizard was started on, from the trace."""
    texts = trace_texts(workdir)
    return [texts[i + 2][len("Command: "):] for i, t in enumerate(texts)
            if t == "launching java installer" and texts[i + 2].startswith("Command: ")]


def test_compressed_jvm_is_expanded_registered_runs_the_wizard_and_is_found_next_time(
        wine, workdir):
    # The Windows directory already has a java.exe of its own, and, as on Windows itself (not under
    # Wine), a system subdirectory.
    (windows_dir(wine) / "java.exe").write_bytes(b"the system's own")
    (windows_dir(wine) / "system").mkdir()
    layout(wine, workdir, provision_control(
        BUNDLE_CONTROL, userSecurityPolicyFilename="${java.home}/lib/security/java.policy",
        systemSecurityPolicyFilename="${java.home}/lib/security/system.policy",
        keystoreFilename="${java.home}/lib/security/app.keystore"))
    (workdir / "java.policy").write_text("package policy\n")
    (workdir / "system.policy").write_text("package system policy\n")
    (workdir / "app.keystore").write_text("package keystore\n")
    compressed_jvm(wine, workdir, version="1.6.0", msvcrt=1, files="lib\\security\\java.policy")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # Expanded with its directory as the current directory: the kind and version directories under
    # Program Files.
    assert expansion_dirs(workdir) == [NEW_HOME]
    jvm = JvmAt(wine, NEW_HOME)
    assert (jvm.bindir / "javaw.exe").exists()

    # Registered in the layout the registry search reads, the home in lower case.
    assert javasoft_values(wine, JRE_KEY) == {"CurrentVersion": "1.6"}
    assert subkeys(wine, JRE_KEY) == ["1.6", "1.6.0"]
    for version in ("1.6", "1.6.0"):
        assert javasoft_values(wine, JRE_KEY + "\\" + version) == {
            "JavaHome": NEW_HOME.lower(), "MicroVersion": "0"}

    # Its programs are copied into the Windows directory; the file that was there already is left
    # untouched.
    stub = read_text(jvm.bindir / "javaw.exe")
    assert read_text(windows_dir(wine) / "javaw.exe") == stub
    assert (windows_dir(wine) / "java.exe").read_bytes() == b"the system's own"
    assert read_text(windows_dir(wine) / "system" / "msvcrt.dll") == \
        read_text(jvm.bindir / "msvcrt.dll")

    # Proved once, then the wizard runs on it and is told that this run installed it.
    assert jvm.kinds() == ["test", "wizard"]
    assert wizard_program(workdir) == [NEW_HOME + "\\bin\\javaw.exe"]
    assert jvm.properties() == properties_text(NEW_HOME, installed=True)
    texts = trace_texts(workdir)
    assert "extractJvm ok: true" in texts and WIZARD_DONE in texts
    assert error_texts(workdir) == []
    # Not the Java Plug-in: no backups, an existing file stays, a missing one is installed.
    security = jvm.home / "lib" / "security"
    assert (security / "java.policy").read_text() == "expanded lib\\security\\java.policy\n"
    assert not (security / "java.001").exists()
    assert (security / "app.keystore").read_text() == "package keystore\n"
    # Regression: a system policy named with ${java.home} was never installed.
    assert (security / "system.policy").read_text() == "package system policy\n"
    assert not (jvm.bindir / "stubjvm.changes").exists()

    # A second run on the same machine expands nothing: the registry search finds the JVM and the
    # wizard runs on it as on any JVM found.
    layout(wine, workdir, provision_control(BUNDLE_CONTROL))
    assert run_launcher(wine, workdir, "-q", "x") == 0
    assert expansion_dirs(workdir) == [NEW_HOME]
    assert jvm.kinds() == ["test", "wizard", "test", "wizard"]
    assert "JRE registry entry had correct jvm info: true" in trace_texts(workdir)
    assert wizard_program(workdir) == [NEW_HOME.lower() + "\\bin\\javaw.exe"]
    assert jvm.properties() == properties_text(NEW_HOME.lower(), installed=False, in_temp=False)
    assert subkeys(wine, JRE_KEY) == ["1.6", "1.6.0"]


def test_existing_jvm_in_the_install_directory_is_used_without_expanding(wine, workdir):
    # An unregistered JVM sits where the package would expand its own.
    home = wine.unixpath(NEW_HOME)
    (home / "bin").mkdir(parents=True)
    (home / "bin" / "javaw.exe").write_bytes(wine.unixpath(stub_jvm_program(wine)).read_bytes())
    (home / "bin" / "stubjvm.ini").write_text("version=1.6.0_20\n")
    layout(wine, workdir, provision_control(BUNDLE_CONTROL))
    compressed_jvm(wine, workdir, version="1.6.0")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert expansion_dirs(workdir) == []
    texts = trace_texts(workdir)
    assert "found existing jvm directory: true" in texts
    jvm = JvmAt(wine, NEW_HOME)
    assert jvm.kinds()[-1] == "wizard"
    # The wizard learns the home of the JVM it runs on, not installed here.
    assert jvm.properties() == properties_text(NEW_HOME, installed=False, in_temp=False)
    # It is registered as a JVM the launcher expanded would be, so that later searches find it.
    assert javasoft_values(wine, JRE_KEY + "\\1.6") == {
        "JavaHome": NEW_HOME.lower(), "MicroVersion": "0"}


def test_jvm_expanded_into_the_work_directory_is_not_registered_and_removed_at_clean_up(
        wine, workdir):
    layout(wine, workdir, provision_control(
        BUNDLE_CONTROL, predefinedJvmInstallDir="[$AppDir]\\jre"))
    compressed_jvm(wine, workdir, version="1.6.0")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # Expanded into the work directory's jvm subdirectory (whatever follows the variable) and the
    # wizard ran on it there.
    assert expansion_dirs(workdir) == ["C:\\work\\jvm"]
    assert wizard_program(workdir) == ["C:\\work\\jvm\\bin\\javaw.exe"]
    texts = trace_texts(workdir)
    assert WIZARD_DONE in texts
    # Nothing registered, nothing copied into the Windows directory.
    assert javasoft_values(wine, JRE_KEY) is None
    assert not (windows_dir(wine) / "javaw.exe").exists()
    # The clean-up read the properties as the wizard left them and removed the temporary JVM.
    assert "jvmInstalledInTemp true" in texts
    assert "not adding reg entries [$AppDir]\\jre" in texts
    # Regression: the console host of the expansion run, started in the JVM directory, may outlive
    # the run for a moment and kept the emptied directory itself.
    assert not (workdir / "jvm").exists()
    assert not (workdir / "native.properties").exists()
    assert error_texts(workdir) == []


@pytest.mark.parametrize("installed", ["jre", "C:\\Vendor\\jre6"],
                         ids=["subdirectory", "elsewhere"])
def test_installer_program_that_installs_into_a_subdirectory_or_registers_a_jvm_elsewhere(
        wine, workdir, installed):
    elsewhere = installed.startswith("C:")
    command = jvm_setup(wine, workdir, version="1.6.0_20", home=installed,
                        register="1.6.0_20" if elsewhere else "")
    layout(wine, workdir, provision_control(SETUP_CONTROL, jvmInstallerCommand=command))

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # Run from the chosen directory with its own arguments, then removed (with the directory when
    # the program left it empty).
    [run] = setup_runs(wine)
    assert run["cwd"] == NEW_HOME
    assert run["args"] == ["-config", "C:\\stubs\\jvmsetup.ini"]
    assert not wine.unixpath(NEW_HOME + "\\jvmsetup.exe").exists()
    assert wine.unixpath(NEW_HOME).exists() != elsewhere
    home = installed if elsewhere else NEW_HOME + "\\jre"
    jvm = JvmAt(wine, home)
    assert jvm.kinds() == ["test", "wizard"]
    assert wizard_program(workdir) == [home + "\\bin\\javaw.exe"]
    # The home is derived from the JVM found; the program installed it, not the launcher.
    assert jvm.properties() == properties_text(home, installed=False, in_temp=False)
    texts = trace_texts(workdir)
    assert "runJvmInstaller ok: true" in texts and WIZARD_DONE in texts
    if elsewhere:
        assert f"Found correct version of JVM: {home}\\bin\\javaw.exe" in texts
    assert error_texts(workdir) == []


def test_installer_program_whose_jvm_reports_another_version_fails_in_one_error_box(
        wine, workdir):
    # 1.7.0 meets the installation's limits but is not the 1.6.0 the package says it installs.
    command = jvm_setup(wine, workdir, version="1.7.0", home="jre")
    layout(wine, workdir, provision_control(SETUP_CONTROL, jvmInstallerCommand=command))

    proc = start_launcher(wine, workdir)

    assert wait_window(wine, ERROR_BOX)
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL) == \
        "Unable to install JRE 1.6.0. " + DISK_SPACE + "\r\r" + OTHER_CAUSES
    assert window_count(wine, ERROR_BOX) == 1
    assert press_ok(wine)
    assert wait_exit(proc) == 0
    assert "wizard" not in JvmAt(wine, NEW_HOME + "\\jre").kinds()
    assert "runJvmInstaller ok: false" in trace_texts(workdir)


def test_plug_in_install_backs_up_an_existing_policy_and_records_it(wine, workdir):
    seed_locale(wine, "German")
    home = "C:\\Program Files\\JavaSoft\\Java Plug-in1.6\\1.6.0"
    policy = home + "\\lib\\security\\java.policy"
    layout(wine, workdir, provision_control(
        BUNDLE_CONTROL, jvmName="Java Plug-in",
        userSecurityPolicyFilename="${java.home}/lib/security/java.policy"))
    (workdir / "java.policy").write_text("grant { permission java.security.AllPermission; };\n")
    compressed_jvm(wine, workdir, version="1.6.0", files="lib\\security\\java.policy")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # The JVM's own policy is saved as java.001 and replaced by the package's.
    assert wine.unixpath(home + "\\lib\\security\\java.001").read_text() == \
        "expanded lib\\security\\java.policy\n"
    assert wine.unixpath(policy).read_text() == \
        "grant { permission java.security.AllPermission; };\n"
    # The change record as the wizard found it, in the user's language; the clean-up removes it
    # afterwards.
    jvm = JvmAt(wine, home)
    assert (jvm.bindir / "stubjvm.changes").read_bytes() == \
        f"Alt: zu {policy} identitydb.001\r\n".encode()
    assert not (workdir / "changes.txt").exists()


def test_wizard_that_fails_on_the_jvm_found_gets_one_retry_on_a_freshly_expanded_jvm(
        wine, workdir):
    found = StubJvm(wine, "jre160", "1.6.0_31", wizard=False)
    register(wine, [(JRE_KEY, "1.6", "0_31", found.winhome)])
    layout(wine, workdir, provision_control(BUNDLE_CONTROL))
    compressed_jvm(wine, workdir, version="1.6.0")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # The wizard did not come up on the registered JVM; the package's JVM is expanded (the registry
    # keeps its entries) and the wizard comes up there, told that this run installed it.
    assert found.kinds() == ["test", "wizard"]
    assert expansion_dirs(workdir) == [NEW_HOME]
    jvm = JvmAt(wine, NEW_HOME)
    assert jvm.kinds() == ["test", "wizard"]
    assert wizard_program(workdir) == [found.program, NEW_HOME + "\\bin\\javaw.exe"]
    assert jvm.properties() == properties_text(NEW_HOME, installed=True)
    assert javasoft_values(wine, JRE_KEY + "\\1.6")["JavaHome"] == found.winhome
    assert error_texts(workdir) == ["Java wizard not started properly"]


def test_compressed_jvm_that_expands_no_jvm_fails_the_installation(wine, workdir):
    layout(wine, workdir, provision_control(BUNDLE_CONTROL))
    compressed_jvm(wine, workdir, version="1.6.0", programs="java.exe")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert expansion_dirs(workdir) == [NEW_HOME]
    errors = error_texts(workdir)
    assert errors[:2] == ["Unable to find JVM executable",
                          f"Unable to configure JVM in {NEW_HOME}"]
    assert "Unable to install JRE 1.6.0. Are the destination or temporary directories out " \
        "of disk space?" in errors
    assert "launching java installer" not in trace_texts(workdir)
    assert javasoft_values(wine, JRE_KEY) is None


def test_package_in_a_directory_with_blanks_jvm_home_inside_the_archive_registry_alone(wine):
    # Where such packages usually land on the older systems.
    workdir = wine.drive_c / "Documents and Settings" / "user" / "Local Settings" / "Temp"
    workdir.mkdir(parents=True)
    layout(wine, workdir, provision_control(BUNDLE_CONTROL, jvmHomeDir="./jre",
                                            configureWinRegistry="no"))
    compressed_jvm(wine, workdir, version="1.6.0", home="jre")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # The compressed JVM is started by its short name and expands where it should.
    assert expansion_dirs(workdir) == [NEW_HOME]
    texts = trace_texts(workdir)
    assert any(t.startswith("issued command to expand: C:\\DOCU") for t in texts)
    home = NEW_HOME + "\\jre"
    jvm = JvmAt(wine, home)
    assert jvm.kinds() == ["test", "wizard"]
    assert jvm.properties() == properties_text(home, installed=True, registry=False)
    assert "Windows registry unchanged" in texts
    assert javasoft_values(wine, JRE_KEY) is None
    assert not (windows_dir(wine) / "javaw.exe").exists()
    assert error_texts(workdir) == []
