"""Runs of installer.exe under conditions a hostile or unlucky user makes:
control files from odd editors, marker and note files left by earlier runs
or written badly, a temporary JVM directory that names the start directory
or is a link, a manifest entry continued without end, and a disk that fills
up under the launcher (a small tmpfs mounted into the Wine prefix). In every
one the package's and the user's files stay as they were and a failure says
why; each case names the fault it guards against."""
import subprocess

import pytest

from conftest import stub
from launcher_support import (JRE_KEY, StubJvm, control_text, error_texts, layout, register,
                              run_launcher, trace_texts)
from provision_support import BUNDLE_CONTROL, JvmAt, compressed_jvm, provision_control
from shell_support import start_launcher, wait_exit

WIZARD_CONTROL = [b"jvmMinVersion=1.4", b"jvmCommandName=javaw.exe",
                  b"jvmClasspathSwitch=-classpath", b"loaderJavaCommand=SampleWizard"]
WIZARD_DONE = "Java wizard launched successfully"


def found_jvm(wine):
    jvm = StubJvm(wine, "jre160", "1.6.0_31")
    register(wine, [(JRE_KEY, "1.6.0_31", "0", jvm.winhome)])
    return jvm


@pytest.fixture
def tmpfs(tmp_path):
    """Mounts small tmpfs file systems (as root) and unmounts them at the
    end; mount(path, size in bytes)."""
    mounted = []

    def mount(path, size):
        path.mkdir(parents=True, exist_ok=True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", str(path)],
                       check=True)
        mounted.append(path)
        return path

    yield mount
    for path in reversed(mounted):
        subprocess.run(["umount", "-l", str(path)], check=False)


# The control file is read as it is and never rewritten. Faults: a Ctrl-Z in
# a comment ended the text-mode read and the rewrite cut the file to that
# point; CR-only line ends folded the file into one line; a byte-order mark
# hid the first key.
CONTROL_FILES = {
    "ctrl-z in a comment": b"# made with an old editor \x1a still a comment\r\n"
                           + b"\r\n".join(WIZARD_CONTROL) + b"\r\n",
    "cr-only line ends": b"\r".join(WIZARD_CONTROL) + b"\r",
    "byte-order mark": b"\xef\xbb\xbf" + b"\n".join(reversed(WIZARD_CONTROL)) + b"\n",
}


@pytest.mark.parametrize("name", CONTROL_FILES)
def test_control_file_is_read_whole_and_left_as_it_was(wine, workdir, name):
    jvm = found_jvm(wine)
    layout(wine, workdir, "")
    (workdir / "kiv.control").write_bytes(CONTROL_FILES[name])

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert (workdir / "kiv.control").read_bytes() == CONTROL_FILES[name]
    [wizard] = jvm.wizard_runs()
    assert wizard["args"] == ["-classpath", ".;install.jar", "SampleWizard", "-q", "x"]
    assert error_texts(workdir) == []


def test_marker_left_by_an_earlier_run_does_not_pass_for_a_started_wizard(wine, workdir):
    # Fault: a "__kivwizard.sem" of an earlier run made a wizard that never
    # came up look started.
    jvm = StubJvm(wine, "jre160", "1.6.0_31", wizard=False)
    register(wine, [(JRE_KEY, "1.6.0_31", "0", jvm.winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe"))
    (workdir / "__kivwizard.sem").write_bytes(b"")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert jvm.kinds() == ["test", "wizard"]
    assert WIZARD_DONE not in trace_texts(workdir)
    assert "Java wizard not started properly" in error_texts(workdir)


@pytest.mark.parametrize("note", [b"\r", b"   \r\n", b" \t\r\n"])
def test_blank_start_directory_note_names_no_start_directory(wine, workdir, note):
    # Fault: a start directory of blanks or a lone line end passed for
    # another directory, and the clean-up program was started on the work
    # directory of the run.
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    (workdir / "cleanup.exe").write_bytes(stub("cleanupstub").read_bytes())
    (workdir / "startdir.txt").write_bytes(note)

    proc = start_launcher(wine, workdir, "-q", "x")
    assert wait_exit(proc, 30) == 0

    assert not (workdir / "cleanupstub.runs").exists()
    assert not (workdir / "cleanup.exe").exists()
    assert not (workdir / "__cleanup.exe").exists()


def test_manifest_entry_continued_without_end_is_traced_once(wine, workdir):
    # Fault: every one of 100,000 continuation lines traced its own cut.
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    (workdir / "jinstall.log").write_bytes(b"")
    (workdir / "META-INF").mkdir()
    (workdir / "META-INF" / "MANIFEST.MF").write_bytes(
        b"Name: start-of-a-long-name\r\n" + b" " + b"x" * 70 + b"\r\n" * 1
        + (b" " + b"y" * 70 + b"\r\n") * 100000 + b"Name: after.txt\r\n")
    (workdir / "after.txt").write_bytes(b"x")

    assert wait_exit(start_launcher(wine, workdir, "-q", "x"), 120) == 0

    texts = trace_texts(workdir)
    assert len([t for t in texts if t.startswith("manifest entry too long")]) == 1
    assert not [t for t in texts if t.startswith("text cut")]
    assert (workdir / "jinstall.log").stat().st_size < 100000
    assert not (workdir / "after.txt").exists()


def start_here(wine):
    start = wine.drive_c / "Start Here"
    start.mkdir()
    (start / "mine.txt").write_bytes(b"the user's own")
    return start


def temporary_jvm_run(wine, workdir, temp):
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    (workdir / "jinstall.log").write_bytes(b"")
    (workdir / "startdir.txt").write_bytes(b"C:\\Start Here\r\n")
    (workdir / "native.properties").write_bytes(
        b"nativeJvmHomeDir=C:/jre\nnativeJvmInstalledInTemp=true\n"
        + b"nativeTempJvmDir=" + temp.encode() + b"\nconfigureWinRegistry=false\n")
    assert wait_exit(start_launcher(wine, workdir, "-q", "x"), 30) == 0


@pytest.mark.parametrize("temp", ["C:/Start Here", "c:/START HERE/", "C://Start Here//",
                                  "C:/work/startlink"])
def test_start_directory_is_never_deleted_in_any_spelling(wine, workdir, temp):
    # Fault: a temporary JVM directory naming the start directory emptied it.
    start = start_here(wine)
    (workdir / "startlink").symlink_to(start)

    temporary_jvm_run(wine, workdir, temp)

    assert (start / "mine.txt").read_bytes() == b"the user's own"
    assert "reason: the start directory or a directory holding it" in trace_texts(workdir)


def test_temporary_jvm_directory_that_is_a_link_is_not_followed(wine, workdir):
    # Fault: the contents of a link's target were deleted.
    data = wine.drive_c / "data"
    (data / "sub").mkdir(parents=True)
    (data / "sub" / "keep.txt").write_bytes(b"keep")
    (workdir / "tmpjvm").symlink_to(data)
    start_here(wine)

    temporary_jvm_run(wine, workdir, "C:/work/tmpjvm")

    assert (data / "sub" / "keep.txt").read_bytes() == b"keep"
    assert "temporary jvm directory is a link, removing the link C:\\work\\tmpjvm" in \
        trace_texts(workdir)


def test_full_disk_leaves_the_jvm_its_own_policy(wine, workdir, tmpfs):
    # Fault: the JVM's policy was renamed to its backup before the package's
    # copy was made; on a full disk the copy failed and the JVM had none.
    javasoft = tmpfs(wine.drive_c / "Program Files" / "JavaSoft",
                     2 * stub("stubjvm").stat().st_size + (1 << 20))
    home = "C:\\Program Files\\JavaSoft\\Java Plug-in1.6\\1.6.0"
    policy = home + "\\lib\\security\\java.policy"
    layout(wine, workdir, provision_control(
        BUNDLE_CONTROL, jvmName="Java Plug-in",
        userSecurityPolicyFilename="${java.home}/lib/security/java.policy"))
    (workdir / "java.policy").write_bytes(b"// package policy\n" * (1 << 18))
    compressed_jvm(wine, workdir, version="1.6.0", files="lib\\security\\java.policy")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert JvmAt(wine, home).kinds() == ["test", "wizard"]
    assert wine.unixpath(policy).read_text() == "expanded lib\\security\\java.policy\n"
    assert not wine.unixpath(home + "\\lib\\security\\java.001").exists()
    assert f"Unable to copy security file {policy}" in error_texts(workdir)
    assert not list(javasoft.rglob("*.__kiv*"))


@pytest.mark.parametrize("free", [0, 4096, 8192])
def test_full_disk_never_gives_the_wizard_an_incomplete_properties_file(wine, workdir, tmpfs,
                                                                       free):
    # Fault: the disk filled up under native.properties; the wizard got an
    # empty file, the launch was reported a success and the reason was
    # recorded nowhere. The stub JVM's test run fills the work directory's
    # disk up to the bytes left free.
    tmpfs(workdir, 4 << 20)
    jvm = found_jvm(wine)
    with open(jvm.bindir / "stubjvm.ini", "a") as ini:
        ini.write(f"fill=C:\\work\\filler.bin\nfree={free}\n")
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe"),
           trace=False)

    assert wait_exit(start_launcher(wine, workdir, "-q", "x"), 60) == 0

    errors = error_texts(workdir)
    if jvm.wizard_runs():
        # Room enough: the wizard had the whole file.
        assert jvm.properties().endswith(b"configureWinRegistry=true\r\n")
        assert free > 0
    else:
        # The reason waited for the room the clean-up made, and is in the log.
        assert errors[0] == "Unable to write native.properties"
        assert any(t.startswith("Unable to start the install wizard.") for t in errors)
        assert not (workdir / "native.properties").exists()
