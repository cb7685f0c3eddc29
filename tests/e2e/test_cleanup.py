"""Clean-up of the work directory at the end of a run of installer.exe: the kept trace of a failed
run, the logs appended in the start directory (or in the Windows directory when the start
directory takes no file), the package files named by the manifest, and the temporary JVM of
native.properties with the directories that must never be deleted."""
import pytest

from conftest import log_lines, read_text, wait_for
from launcher_support import (JRE_KEY, StubJvm, control_text, layout, register, run_launcher,
                              run_quiet, trace_texts)
from shell_support import BOX_TEXT_CONTROL, ERROR_BOX, press_ok, probe, start_launcher, wait_exit

SAVE_FAILED = "Unable to save errors.log\r\rTry installing from a non-write protected drive."


def test_failed_runs_append_their_logs_in_the_start_directory(wine, workdir):
    start = wine.drive_c / "start"
    start.mkdir()
    second = wine.drive_c / "work2"
    second.mkdir()
    (workdir / "kivpand.log").write_bytes(b"")
    (second / "kivpand.log").write_bytes(b"expanded\r\n")

    run_quiet(wine, workdir, start="C:\\start  ")
    texts = trace_texts(workdir)
    assert texts[-2:] == ["install ok: false", "copying log files to C:\\start"]
    for name in ("jinstall.sem", "startdir.txt", "native.properties", "changes.txt"):
        assert not (workdir / name).exists(), name
    assert read_text(start / "jinstall.log") == read_text(workdir / "jinstall.log")
    assert read_text(start / "errors.log") == read_text(workdir / "errors.log") != ""
    # An empty expansion log is not copied.
    assert not (start / "kivpand.log").exists()
    assert (workdir / "kivpand.log").exists()

    # A second installation from the same start directory.
    run_quiet(wine, second, start="c:\\START")
    assert read_text(start / "jinstall.log") == (read_text(workdir / "jinstall.log")
                                                 + read_text(second / "jinstall.log"))
    assert read_text(start / "errors.log") == (read_text(workdir / "errors.log")
                                               + read_text(second / "errors.log"))
    assert log_lines(start / "jinstall.log").count("install ok: false") == 2
    assert read_text(start / "kivpand.log") == "expanded\r\n"


def test_start_directory_taking_no_file_sends_logs_to_windows_directory(wine, workdir):
    # The write probe cannot be created where a directory of its name is.
    start = wine.drive_c / "start"
    (start / "__kivtest.zos").mkdir(parents=True)
    windows = wine.drive_c / "windows"
    run_quiet(wine, workdir, start="C:\\start")
    assert trace_texts(workdir)[-1] == "copying log files to C:\\windows"
    assert read_text(windows / "jinstall.log") == read_text(workdir / "jinstall.log")
    assert read_text(windows / "errors.log") == read_text(workdir / "errors.log") != ""
    assert sorted(p.name for p in start.iterdir()) == ["__kivtest.zos"]
    assert not (windows / "__kivtest.zos").exists()


def test_nowhere_to_save_the_error_log_is_reported(wine, workdir):
    # Both the start "directory" (a file) and the Windows directory refuse the probe: the copy is
    # tried in the start directory and fails.
    (wine.drive_c / "startfile").write_bytes(b"x")
    (wine.drive_c / "windows" / "__kivtest.zos").mkdir()
    (workdir / "startdir.txt").write_bytes(b"C:\\startfile\r\n")
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    proc = start_launcher(wine, workdir)
    # The failure report comes first; the clean-up's box follows it.
    texts = []
    while SAVE_FAILED not in texts and len(texts) < 4:
        code, text = probe(wine, "text", ERROR_BOX, BOX_TEXT_CONTROL, 15000)
        assert code == 0, texts
        if not texts or texts[-1] != text:
            texts.append(text)
        press_ok(wine)
        wait_for(lambda: probe(wine, "text", ERROR_BOX, BOX_TEXT_CONTROL, 0)[1] != text, 5)
    assert len(texts) == 2 and texts[1] == SAVE_FAILED, texts
    assert wait_exit(proc, 15) == 0
    assert read_text(wine.drive_c / "startfile") == "x"
    texts = trace_texts(workdir)
    assert "unable to copy log file C:\\startfile\\errors.log" in texts


MANIFEST = (b"Manifest-Version: 1.0\r\n"
            b"\r\n"
            b"Name: app.txt\r\n"
            b"Name: lib/part.jar\r\n"
            b"Name: lib\\other.jar   \r\n"
            b"Name: docs/a-rather-long-na\r\n"
            b" me.txt\r\n"
            b"Name:nospace.txt\r\n"
            b"Name: ../outside1.txt\r\n"
            b"Name: C:\\outside2.txt\r\n"
            b"Name: C:/outside3.txt\r\n"
            b"Name: C:outside4.txt\r\n"
            b"Name: \\\\?\\C:\\outside5.txt\r\n"
            b"Name: lib/../../outside6.txt\r\n"
            b"Name: \\outside7.txt\r\n"
            b"Name: .. /outside8.txt\r\n"
            b"name: lower.txt\r\n"
            # Regression: a line longer than the line buffer was read in pieces, and a piece that
            # began with "Name: " deleted its file.
            + b"x" * 999 + b"Name: victim.txt\r\n"
            + b"Name: " + b"v" * 1200 + b"\r\n"
            b"Name: last.txt")  # no line end at all


def test_manifest_files_are_deleted_inside_the_work_directory_only(wine, workdir):
    (workdir / "META-INF").mkdir()
    (workdir / "META-INF" / "MANIFEST.MF").write_bytes(MANIFEST)
    (workdir / "lib").mkdir()
    (workdir / "docs").mkdir()
    package = ["app.txt", "lib/part.jar", "lib/other.jar", "docs/a-rather-long-name.txt",
               "install.jar", "last.txt"]
    kept = ["nospace.txt", "docs/a-rather-long-na", "lower.txt", "victim.txt"]
    for name in package + kept:
        (workdir / name).write_bytes(b"x")
    outside = [wine.drive_c / f"outside{i}.txt" for i in range(1, 9)]
    for path in outside:
        path.write_bytes(b"x")

    run_quiet(wine, workdir)
    for name in package:
        assert not (workdir / name).exists(), name
    for name in kept:
        assert (workdir / name).exists(), name
    for path in outside:
        assert path.exists(), path
    assert not (workdir / "META-INF").exists()
    refused = [t for t in trace_texts(workdir)
               if t.startswith("manifest entry outside the work directory, not deleted: ")]
    assert len(refused) == 8


def write_properties(workdir, temp, home="C:/work/jvm"):
    (workdir / "native.properties").write_bytes(
        f"nativeJvmHomeDir={home}\nnativeJvmInstalled=true\nnativeJvmInstalledInTemp=TRUE\n"
        f"nativeTempJvmDir={temp}\nconfigureWinRegistry=false\n".encode("latin-1"))


def make_jvm(home):
    for sub in ("bin", "lib/ext"):
        (home / sub).mkdir(parents=True)
    (home / "bin" / "java.exe").write_bytes(b"MZ")
    (home / "lib" / "ext" / "x.jar").write_bytes(b"PK")


@pytest.mark.parametrize("temp", ["C\\:/work/tmpjvm", "c:/WORK/", "C:/Windows/"])
def test_temporary_jvm_is_deleted_but_never_a_protected_directory(wine, workdir, temp):
    make_jvm(workdir / "jvm")
    make_jvm(workdir / "tmpjvm")
    (workdir / "marker.txt").write_bytes(b"x")
    windows_marker = wine.drive_c / "windows" / "marker.txt"
    windows_marker.write_bytes(b"x")
    write_properties(workdir, temp)
    run_quiet(wine, workdir)
    assert (workdir / "tmpjvm").exists() == ("tmpjvm" not in temp)
    assert (workdir / "marker.txt").exists()
    assert (workdir / "jvm" / "lib" / "ext" / "x.jar").exists()
    assert windows_marker.exists()
    assert (wine.drive_c / "windows" / "system32").is_dir()
    assert not (workdir / "native.properties").exists()
    texts = trace_texts(workdir)
    assert "configureReg: false" in texts
    assert ("tempJvmDir C:\\work\\tmpjvm" in texts) == ("tmpjvm" in temp)
    assert any(t.startswith("not deleting temporary jvm directory ") for t in texts) == \
        ("tmpjvm" not in temp), texts


@pytest.mark.parametrize("control", [
    None, b"searchForJvm=none\njvmVersion=1.6.0\njvmCommandName=java.exe\n"])
def test_jvm_named_by_properties_is_registered_with_a_version_before_the_temporary_one_goes(
        wine, workdir, control):
    # Regression: without the control file's JVM version the JVM named by the properties was entered
    # under an empty version key.
    make_jvm(wine.drive_c / "jre")
    (wine.drive_c / "jre" / "bin" / "javaw.exe").write_bytes(b"MZ")
    make_jvm(workdir / "tmpjvm")
    if control:
        (workdir / "kiv.control").write_bytes(control)
    (workdir / "native.properties").write_bytes(
        b"nativeJvmHomeDir=C:/jre\nnativeJvmInstalledInTemp=true\n"
        b"nativeTempJvmDir=C:/work/tmpjvm\n")
    proc = start_launcher(wine, workdir, "-q", "x")
    assert wait_exit(proc, 20) == 0
    assert not (workdir / "tmpjvm").exists()
    assert (wine.drive_c / "jre" / "bin" / "java.exe").exists()
    texts = trace_texts(workdir)
    if control:
        key = r"HKLM\SOFTWARE\JavaSoft\Java Runtime Environment\1.6"
        assert (wine.reg_query(key, "JavaHome") or "").lower() == "c:\\jre"
        assert "about to configure jvm 1.6.0" in texts
        assert "configureJvm ok: true" in texts
    else:
        assert wine.reg_query(r"HKLM\SOFTWARE\JavaSoft\Java Runtime Environment") is None
        assert "not adding reg entries without a jvm version C:\\jre" in texts


def test_successful_run_leaves_no_trace_file_and_drops_an_empty_error_log(wine, workdir):
    jvm = StubJvm(wine, "jre160", "1.6.0_31")
    register(wine, [(JRE_KEY, "1.6.0_31", "0", jvm.winhome)])
    # No trace file of the user's: the launcher makes its own.
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe",
                                       jvmClasspathSwitch="-classpath",
                                       loaderJavaCommand="SampleWizard"), trace=False)
    start = wine.drive_c / "start"
    start.mkdir()
    (workdir / "startdir.txt").write_bytes(b"C:\\start\r\n")
    (workdir / "errors.log").write_bytes(b"")
    (workdir / "kivpand.log").write_bytes(b"expanded\r\n")
    (workdir / "META-INF").mkdir()
    (workdir / "META-INF" / "MANIFEST.MF").write_bytes(b"Name: TestJvm.class\r\n")

    assert run_launcher(wine, workdir, "-q", "x") == 0
    assert [run["kind"] for run in jvm.runs()] == ["test", "wizard"]
    for name in ("jinstall.log", "jinstall.sem", "errors.log", "install.jar", "native.properties",
                 "startdir.txt", "TestJvm.class", "META-INF"):
        assert not (workdir / name).exists(), name
    assert sorted(p.name for p in start.iterdir()) == ["kivpand.log"]
    assert read_text(start / "kivpand.log") == "expanded\r\n"
