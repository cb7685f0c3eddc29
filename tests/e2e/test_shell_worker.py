"""The main thread stays until the worker has finished, whatever became of the semaphore files, and
one launcher at a time installs from a work directory: a second one says why and leaves
everything alone."""
import time

from conftest import read_text, wait_for
from launcher_support import JRE_KEY, StubJvm, control_text, error_texts, layout, register
from shell_support import BOX_TEXT_CONTROL, IDOK, probe, wait_exit, wait_window
import shell_support

MESSAGE_BOX = "Tallybox Installer"
ALREADY_RUNNING = ("Another installer is already running in this directory. This one installs "
                   "nothing; wait until the other has finished.")
CONTROL = control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe",
                       jvmClasspathSwitch="-classpath", loaderJavaCommand="SampleWizard")


def stub_jvm(wine, settings):
    jvm = StubJvm(wine, "jre142", "1.4.2_19")
    (jvm.bindir / "stubjvm.ini").write_text(f"version=1.4.2_19\nwizard=1\n{settings}")
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jvm.winhome)])
    return jvm


def test_second_launcher_in_a_busy_work_directory_installs_nothing(wine, workdir):
    # Regression: the second launcher ran a second installation, left as soon as the first one's
    # clean-up deleted "__kivinstall.sem" (its own wizard still running), and that clean-up deleted
    # install.jar under its wizard.
    jvm = stub_jvm(wine, "wizardDelay=6000\n")
    layout(wine, workdir, CONTROL)
    first = wine.start(workdir / "installer.exe", "-q", "x", cwd=workdir)
    time.sleep(2.5)
    second = wine.start(workdir / "installer.exe", cwd=workdir)

    assert wait_window(wine, MESSAGE_BOX, 20000)
    assert shell_support.window_text(wine, MESSAGE_BOX, BOX_TEXT_CONTROL) == ALREADY_RUNNING
    probe(wine, "command", MESSAGE_BOX, IDOK)
    assert wait_exit(second, 20) == 0
    assert first.poll() is None
    assert wait_exit(first, 60) == 0

    runs = read_text(jvm.bindir / "stubjvm.runs")
    # One installation: its wizard found install.jar until its end, which came before its launcher's
    # end.
    assert jvm.kinds() == ["test", "wizard"]
    assert "JAR 1" in runs.splitlines()
    assert error_texts(workdir).count(ALREADY_RUNNING) == 1
    assert not (workdir / "install.jar").exists()
    assert not (workdir / "__kivinstall.sem").exists()
    assert not (workdir / "__kivshow.sem").exists()


def test_launcher_stays_while_its_installation_runs_where_no_semaphore_can_be_made(wine, workdir):
    # Regression: in a work directory whose semaphore files cannot be created (here: one of 257
    # characters, too deep for one more name) the process ended during the JVM's test run.
    deep, length = workdir, len(wine.winpath(workdir))
    while 257 - length > 51:
        deep, length = deep / ("d" * 50), length + 51
    deep = deep / ("e" * (257 - length - 1))
    deep.mkdir(parents=True)
    assert len(wine.winpath(deep)) == 257
    jvm = stub_jvm(wine, "delay=4000\n")
    layout(wine, deep, CONTROL, trace=False)

    proc = wine.start(deep / "installer.exe", "-q", "x", cwd=deep)
    runs = jvm.bindir / "stubjvm.runs"
    assert wait_for(runs.exists, 30)
    time.sleep(2)
    assert proc.poll() is None, "the launcher ended while its JVM was running"
    assert wait_exit(proc, 60) == 0
    assert jvm.kinds()[0] == "test"
