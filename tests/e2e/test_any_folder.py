"""A package unpacked into a directory whose name the system's legacy code
page cannot spell (Cyrillic and Chinese on a Western system), started from
another such directory: the test class writes its answer, the wizard starts,
the logs reach the start directory and the clean-up program is handed the
work directory. The stub JVM reads its command line in the legacy code page,
as an older JVM does."""
import pytest

from conftest import read_text, stub, wait_for
from launcher_support import (JRE_KEY, StubJvm, control_text, layout, register, run_launcher,
                              trace_texts)

WORK = "Установка 安装"
WIZARD_CONTROL = dict(jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderJavaCommand="SampleWizard")


def cleanup_runs(work):
    path = work / "cleanupstub.runs"
    return path.read_bytes().decode("utf-8").splitlines() if path.exists() else []


@pytest.mark.parametrize("start_name, encoding", [
    ("Старт 开始", "utf-8"),
    # A start directory written by a script in the legacy code page.
    ("Büro", "cp1252"),
])
def test_work_and_start_directory_named_in_any_script(wine, start_name, encoding):
    wine.env["LC_ALL"] = "de_DE.UTF-8"  # a Western system: Windows-1252
    work = wine.drive_c / WORK
    start = wine.drive_c / start_name
    work.mkdir()
    start.mkdir()
    jvm = StubJvm(wine, "jre142", "1.4.2_19")
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jvm.winhome)])
    layout(wine, work, control_text(**WIZARD_CONTROL))
    (work / "cleanup.exe").write_bytes(stub("cleanupstub").read_bytes())
    (work / "startdir.txt").write_bytes(("C:\\" + start_name).encode(encoding) + b"\r\n")

    assert run_launcher(wine, work, "-q", "x") == 0

    assert jvm.kinds() == ["test", "wizard"]
    assert "Java wizard launched successfully" in trace_texts(work)
    assert read_text(start / "jinstall.log") == read_text(work / "jinstall.log") != ""
    assert wait_for(lambda: len(cleanup_runs(work)) >= 2, 10)
    assert cleanup_runs(work) == ["RUN", "ARG C:\\" + WORK]


def test_real_jdk_in_a_work_directory_named_in_any_script(wine):
    from test_real_java import HOST_JAVA, host_jdk_package
    if not HOST_JAVA.exists():
        pytest.skip("no host Java")
    wine.env["LC_ALL"] = "de_DE.UTF-8"
    work = wine.drive_c / WORK
    work.mkdir()
    _, home = host_jdk_package(wine, work, jvmClasspathSwitch="-classpath",
                               loaderJavaCommand="SampleWizard")

    assert run_launcher(wine, work, "-q", "x", timeout=300) == 0

    received = read_text(work / "wizard-received.txt").splitlines()
    assert received[:2] == ["ARG -q", "ARG x"], read_text(home / "bin" / "hostjava.out")
    assert "Java wizard launched successfully" in trace_texts(work)
