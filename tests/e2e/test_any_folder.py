"""A package in a directory whose name the legacy code page cannot spell (Cyrillic and Chinese on a
Western system), started from another such directory: the wizard starts, the logs reach the start
directory, the clean-up program is handed the work directory, and no trace file of its own stays;
the JVMs are handed no short name."""
import pytest

from launcher_support import (CLEANUP, JRE_KEY, WIZARD_CONTROL, StubJvm, cleanup_runs,
                              control_text, layout, put, register, run_launcher)


# The second start directory is written by a script in the legacy code page.
@pytest.mark.parametrize("start_name, encoding", [("Старт 开始", "utf-8"),
                                                  ("Büro", "cp1252")])
def test_work_and_start_directory_named_in_any_script(wine, start_name, encoding):
    wine.env["LC_ALL"] = "de_DE.UTF-8"  # a Western system: Windows-1252
    work, start = wine.drive_c / "Установка 安装", wine.drive_c / start_name
    work.mkdir()
    start.mkdir()
    jvm = StubJvm(wine, "jre142", "1.4.2_19")
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jvm.winhome)])
    # The control file is written in the legacy code page (ü is one byte).
    layout(wine, work, control_text(loaderClasspath="C:\\Büro\\install.jar", **WIZARD_CONTROL),
           trace=False)
    put(work, {"startdir.txt": ("C:\\" + start_name).encode(encoding) + b"\r\n", "errors.log": b"",
               "cleanup.exe": CLEANUP,
               "kivpand.log": b"expanded\r\n", "META-INF/MANIFEST.MF": b"Name: TestJvm.class\r\n"})

    assert run_launcher(wine, work, "-q", "x") == 0

    assert jvm.kinds() == ["test", "wizard"]
    assert jvm.wizard_runs()[0]["args"][:2] == ["-classpath", "C:\\Büro\\install.jar"]
    # The folder reaches the JVMs as their current directory, never as an argument: no short name
    # (which some volumes lack) and no "?" for a letter the JVM's code page has not.
    test_run, wizard_run = jvm.runs()
    assert test_run["args"] == ["-cp", ".", "TestJvm", "."]
    assert not [a for run in (test_run, wizard_run) for a in run["args"] if "~" in a or "?" in a]
    assert cleanup_runs(work) == ["RUN", "ARG C:\\Установка 安装"]
    # No trace file anywhere, the empty error log dropped, the expansion log copied.
    assert [name for name in ("jinstall.log", "jinstall.sem", "errors.log", "native.properties",
                              "TestJvm.class", "META-INF") if (work / name).exists()] == []
    assert [p.name for p in start.iterdir()] == ["kivpand.log"]

