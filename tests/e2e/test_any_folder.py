"""A package in a directory whose name the legacy code page cannot spell (Cyrillic and Chinese on a
Western system), started from another such directory: the wizard starts, the logs reach the start
directory, the clean-up program is handed the work directory, and no trace file of its own stays."""
import pytest

from launcher_support import (HOST_JAVA, JRE_KEY, WIZARD_CONTROL, StubJvm, cleanup_runs,
                              control_text, host_jdk, install_cleanup_stub, layout, register,
                              run_launcher, trace_texts)

WORK = "Установка 安装"


# The second start directory is written by a script in the legacy code page.
@pytest.mark.parametrize("start_name, encoding", [("Старт 开始", "utf-8"),
                                                  ("Büro", "cp1252")])
def test_work_and_start_directory_named_in_any_script(wine, start_name, encoding):
    wine.env["LC_ALL"] = "de_DE.UTF-8"  # a Western system: Windows-1252
    work, start = wine.drive_c / WORK, wine.drive_c / start_name
    work.mkdir()
    start.mkdir()
    jvm = StubJvm(wine, "jre142", "1.4.2_19")
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jvm.winhome)])
    # The control file is written in the legacy code page (ü is one byte).
    layout(wine, work, control_text(loaderClasspath="C:\\Büro\\install.jar", **WIZARD_CONTROL),
           trace=False)
    install_cleanup_stub(work)
    (work / "META-INF").mkdir()
    for name, data in (("startdir.txt", ("C:\\" + start_name).encode(encoding) + b"\r\n"),
                       ("errors.log", b""), ("kivpand.log", b"expanded\r\n"),
                       ("META-INF/MANIFEST.MF", b"Name: TestJvm.class\r\n")):
        (work / name).write_bytes(data)

    assert run_launcher(wine, work, "-q", "x") == 0

    assert jvm.kinds() == ["test", "wizard"]
    assert jvm.wizard_runs()[0]["args"][:2] == ["-classpath", "C:\\Büro\\install.jar"]
    assert cleanup_runs(work) == ["RUN", "ARG C:\\" + WORK]
    # No trace file anywhere, the empty error log dropped, the expansion log copied.
    assert [name for name in ("jinstall.log", "jinstall.sem", "errors.log", "native.properties",
                              "TestJvm.class", "META-INF") if (work / name).exists()] == []
    assert [p.name for p in start.iterdir()] == ["kivpand.log"]


@pytest.mark.skipif(not HOST_JAVA.exists(), reason="no host Java")
def test_real_jdk_in_directories_named_in_any_script(wine):
    # The JVM home too: the wizard reads it from native.properties, which Java reads as ISO-8859-1.
    wine.env["LC_ALL"] = "de_DE.UTF-8"
    work = wine.drive_c / WORK
    work.mkdir()
    _, _, subkey = host_jdk(wine, "Ява 爪哇")
    layout(wine, work, control_text(jvmRequiredVersion=subkey, **WIZARD_CONTROL))

    assert run_launcher(wine, work, "-q", "x", timeout=300) == 0

    received = (work / "wizard-received.txt").read_bytes().decode("utf-8").splitlines()
    assert received[:3] == ["ARG -q", "ARG x", "PROPERTY configureWinRegistry=true"]
    assert "PROPERTY nativeJvmHomeDir=C:/jvms/Ява 爪哇" in received
    assert "Java wizard launched successfully" in trace_texts(work)
