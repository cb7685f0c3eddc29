"""Clean-up at the end of a quiet run of installer.exe: the trace and the logs handed on, the
package files of the manifest, the temporary JVM (only what the run made for it, never a directory
that must stay), and the hand-over to the clean-up program; a quiet run shows no window."""
import pytest

from conftest import read_text
from launcher_support import (JRE_KEY, bundle_control, cleanup_runs, compressed_jvm, error_texts,
                              CLEANUP, javasoft, layout, properties_text, put,
                              run_launcher, run_quiet, trace_texts)
from shell_support import (BOX_TEXT_CONTROL, DIALOG, ERROR_BOX, press_ok, start_launcher,
                           watch, window_text)

SAVE_FAILED = "Unable to save errors.log\r\rTry installing from a non-write protected drive."
READER_FAILURE = ["Unable to open kiv.control", "unable to get parameters",
                  "Unable to install application."]
OUTSIDE = ["../outside1.txt", "C:\\outside2.txt", "C:/outside3.txt", "C:outside4.txt",
           "\\\\?\\C:\\outside5.txt", "lib/../../outside6.txt", "\\outside7.txt",
           ".. /outside8.txt"]
PACKAGE = ["app.txt", "lib/part.jar", "lib/other.jar", "docs/a-rather-long-name.txt", "install.jar",
           "after.txt", "last.txt"]
NOT_PACKAGE = ["nospace.txt", "docs/a-rather-long-na", "lower.txt", "victim.txt"]
MANIFEST = (b"Manifest-Version: 1.0\r\n\r\nName: app.txt\r\nName: lib/part.jar\r\n"
            + b"".join(b"Name: " + name.encode() + b"\r\n" for name in OUTSIDE)
            + b"Name: lib\\other.jar   \r\nName: docs/a-rather-long-na\r\n me.txt\r\n"
            + b"Name:nospace.txt\r\nname: lower.txt\r\n"
            # Regression: a piece of an over-long line that began with "Name: " deleted its file.
            + b"x" * 999 + b"Name: victim.txt\r\n" + b"Name: " + b"v" * 1200 + b"\r\n"
            # Regression: every one of 100,000 continuation lines traced its own cut.
            + b"Name: start-of-a-long-name\r\n" + (b" " + b"y" * 70 + b"\r\n") * 100000
            + b"Name: after.txt\r\nName: last.txt")  # no line end at all


def test_failed_runs_hand_on_their_logs_and_delete_only_package_files(wine, workdir):
    start, second, third, fourth, full = (wine.drive_c / name
                                          for name in ("start", "w2", "w3", "w4", "full"))
    start.mkdir()
    outside = [f"outside{i}.txt" for i in range(1, 9)]
    put(wine.drive_c, dict.fromkeys(outside, b"x"))
    put(workdir, dict.fromkeys(PACKAGE + NOT_PACKAGE + ["changes.txt"], b"x"))
    put(workdir, {"META-INF/MANIFEST.MF": MANIFEST, "kivpand.log": b""})

    run_quiet(wine, workdir, start="C:\\start  ")
    texts = trace_texts(workdir)
    assert texts[-2:] == ["install ok: false", "copying log files to C:\\start"]
    assert [name for name in PACKAGE + ["META-INF", "jinstall.sem", "startdir.txt", "changes.txt"]
            if (workdir / name).exists()] == []
    assert [name for name in NOT_PACKAGE if not (workdir / name).exists()] == []
    assert all((wine.drive_c / name).exists() for name in outside)
    kinds = ("manifest entry outside the work directory", "manifest entry too long", "text cut")
    assert [sum(t.startswith(kind) for t in texts) for kind in kinds] == [8, 2, 0]
    assert (workdir / "jinstall.log").stat().st_size < 100000
    assert not (start / "kivpand.log").exists() and (workdir / "kivpand.log").exists()  # empty

    # Two more runs register the JVM native.properties names only under the control file's version
    # (regression: without one, under an empty version key); the temporary JVM it names beside it
    # was there before the run and stays.
    jvm = b"nativeJvmHomeDir=C:/jre\nnativeJvmInstalledInTemp=true\nnativeTempJvmDir=C:/%s/tmpjvm\n"
    put(wine.drive_c, {
        "jre/bin/java.exe": b"MZ", "jre/bin/javaw.exe": b"MZ", "full/__kivtest.zos/x": b"",
        "w2/tmpjvm/bin/java.exe": b"MZ", "w2/native.properties": jvm % b"w2",
        "w2/kivpand.log": b"expanded\r\n", "w2/startdir.txt": b"\xef\xbb\xbfc:\\START\r\n",
        "w3/tmpjvm/bin/java.exe": b"MZ", "w3/native.properties": jvm % b"w3",
        "w3/kiv.control": b"searchForJvm=none\njvmVersion=1.6.0\njvmCommandName=java.exe\n"})

    # A second installation from the same start directory appends; it has no control file.
    # Regressions: the control-file reader showed its box even in quiet mode, so a scripted
    # installation stopped until someone dismissed it; a byte-order mark before the start
    # directory was read into its name, and the logs went elsewhere.
    seen = watch(wine, 5000, DIALOG, ERROR_BOX)
    assert start_launcher(wine, second, "-q", "x").wait(120) == 0
    assert seen() == set()
    assert [error_texts(second).count(line) for line in READER_FAILURE] == [1, 1, 1]
    for log in ("jinstall.log", "errors.log"):
        assert read_text(start / log) == read_text(workdir / log) + read_text(second / log)
    assert read_text(start / "kivpand.log") == "expanded\r\n"
    assert "not adding reg entries without a jvm version C:\\jre" in trace_texts(second)
    assert javasoft(wine) == {}

    # A start directory that takes no file (the write probe cannot be made where a directory of
    # its name is): the logs go to the Windows directory.
    windows = wine.drive_c / "windows"
    run_quiet(wine, third, start="C:\\full")
    texts = trace_texts(third)
    assert texts[-1] == "copying log files to C:\\windows"
    for log in ("jinstall.log", "errors.log"):
        assert read_text(windows / log) == read_text(third / log) != ""
    assert [p.name for p in full.iterdir()] == ["__kivtest.zos"]
    assert not (windows / "__kivtest.zos").exists()
    assert "registering the JVM under HKEY_LOCAL_MACHINE" in texts
    assert javasoft(wine)[JRE_KEY + "\\1.6"]["JavaHome"].lower() == "c:\\jre"
    assert (second / "tmpjvm").exists() and (third / "tmpjvm").exists()
    assert (wine.drive_c / "jre" / "bin" / "java.exe").exists()

    # The start "directory" is a file and the Windows directory refuses the probe now too: the run's
    # one box is the failure report's (the lost copy is traced).
    put(wine.drive_c, {"startfile": b"x", "windows/__kivtest.zos/x": b"",
                       "w4/startdir.txt": b"C:\\startfile\r\n",
                       "w4/kiv.control": b"searchForJvm=none\n"})
    proc = start_launcher(wine, fourth)
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL, 15000) != SAVE_FAILED
    press_ok(wine)
    assert proc.wait(120) == 0
    assert read_text(wine.drive_c / "startfile") == "x"
    assert "unable to copy log file C:\\startfile\\errors.log" in trace_texts(fourth)


START = b"C:\\Start Here\r\n"
GUARDED = "reason: the start directory or a directory holding it"


NOT_MADE = "reason: this run made no directory for a jvm"


# nativeTempJvmDir, startdir.txt, the trace line of the verdict; a directory the run did not make
# is never deleted. Regressions: a start directory note of blanks or a lone line end, or another
# spelling of the work directory (letter case, a trailing separator, forward slashes), passed for
# another directory, and the clean-up program was started on the work directory; a temporary JVM
# directory naming the start directory emptied it; the contents of a link's target were deleted.
@pytest.mark.parametrize("temp, note, verdict", [
    ("C\\:/work/tmpjvm", b"\r", NOT_MADE),
    ("c:/WORK/", b"   \r\n", "reason: the work directory or a directory holding it"),
    ("C:/Windows/", b" \t\r\n", "reason: the Windows directory or a directory holding it"),
    ("C:/Start Here", START, GUARDED),
    ("c:/START HERE/", START, GUARDED),
    ("C://Start Here//", START, GUARDED),
    ("C:/work/startlink", START, GUARDED),
    ("C:/work/datalink", b"c:\\WORK\r\n", NOT_MADE),
    ("C\\:/work/tmpjvm", b"C:\\work\\\r\n", NOT_MADE),
    ("C\\:/work/tmpjvm", b"C:/work\r\n", NOT_MADE)])
def test_temporary_jvm_is_deleted_but_never_a_protected_directory(wine, workdir, temp, note,
                                                                   verdict):
    kept = ["work/jvm/lib/ext/x.jar", "Start Here/mine.txt", "data/sub/keep.txt",
            "windows/marker.txt"]
    put(wine.drive_c, dict.fromkeys(kept + ["work/tmpjvm/bin/x", "work/tmpjvm/lib/x"], b"x"))
    (workdir / "startlink").symlink_to(wine.drive_c / "Start Here")
    (workdir / "datalink").symlink_to(wine.drive_c / "data")
    # The user's own trace file, which turns the trace on from the start.
    put(workdir, {"jinstall.log": b"", "startdir.txt": note, "cleanup.exe": CLEANUP,
                  "native.properties": b"nativeJvmHomeDir=C:/work/jvm\n"
                  b"nativeJvmInstalled=true\nnativeJvmInstalledInTemp=TRUE\nnativeTempJvmDir="
                  + temp.encode() + b"\nconfigureWinRegistry=false\n"})
    run_quiet(wine, workdir)
    assert {verdict, "configureReg: false"} <= set(trace_texts(workdir))
    assert (workdir / "tmpjvm").exists() and (workdir / "datalink").exists()
    assert [name for name in kept if not (wine.drive_c / name).exists()] == []
    assert [name for name in ("jinstall.sem", "__kivinstall.sem")
            if (workdir / name).exists()] == []
    handed = note == START
    assert (workdir / "cleanup.exe").exists() == (workdir / "__cleanup.exe").exists() == handed
    assert cleanup_runs(workdir, 10 if handed else 0) == (["RUN", "ARG C:\\work"] if handed else [])


# Regression: a JVM with its programs at its home, below a folder named bin, was given the home
# C:\data, and the clean-up of the temporary JVM deleted C:\data with the user's files.
def test_temporary_jvm_below_a_folder_named_bin_goes_and_the_users_files_stay(wine, workdir):
    home = "C:\\data\\bin\\jre"
    layout(wine, workdir, bundle_control(predefinedJvmInstallDir="[$AppDir]\\jre", jvmHomeDir=home))
    put(wine.drive_c, {"data/bin/docs/letter.txt": b"Dear", "data/notes.txt": b"x",
                       "records/x": b""})
    compressed_jvm(wine, workdir, home=home, bin=0, records="C:\\records")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # native.properties as the wizard saw it
    assert (wine.drive_c / "records" / "stubjvm.properties").read_bytes() == properties_text(
        home, installed=True, in_temp=True)
    assert not wine.unixpath(home).exists()
    assert sorted(p.name for p in (wine.drive_c / "data").rglob("*")) == [
        "bin", "docs", "letter.txt", "notes.txt"]
    assert f"deleting temporary jvm directory {home}" in trace_texts(workdir)
