"""The main thread stays until the worker has finished, whatever became of the semaphore files, and
one launcher at a time installs from a work directory: a second one says why and does nothing."""
import subprocess

import pytest

from conftest import INSTALLER, read_text, wait_for
from launcher_support import JRE_KEY, control_text, layout, register, StubJvm
from shell_support import BOX_TEXT_CONTROL, press_ok, window_text

MESSAGE_BOX = "Tallybox Installer"
ALREADY_RUNNING = ("Another installer is already running in this directory. This one installs "
                   "nothing; wait until the other has finished.")


def start(wine, workdir, program=None, **settings):
    jvm = StubJvm(wine, "C:\\jvms\\jre142", "1.4.2_19", **settings)
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jvm.winhome)])
    control = control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe")
    layout(wine, workdir, control, trace=False)
    return jvm, wine.start(program or workdir / "installer.exe", "-q", "x", cwd=workdir)


def test_second_launcher_in_a_busy_work_directory_installs_nothing(wine, workdir):
    # Regression: the second launcher ran a second installation, left as soon as the first one's
    # clean-up deleted "__kivinstall.sem" (its own wizard still running), and that clean-up deleted
    # install.jar under its wizard.
    # The first one's wizard runs until the end of the test: its launcher holds the directory.
    jvm, first = start(wine, workdir, wizardUntil="C:\\release")
    assert wait_for(lambda: "wizard" in jvm.kinds(), 60)
    # Each second launcher says so in its own report: a quiet one on its standard output, another
    # in its box. Regression: the message went into the first one's errors.log, which its
    # clean-up handed on to its start directory.
    quiet = wine.run(workdir / "installer.exe", "-q", "x", cwd=workdir, timeout=120)
    assert quiet.returncode == 0 and quiet.stdout.decode() == ALREADY_RUNNING + "\r\n"
    second = wine.start(workdir / "installer.exe", cwd=workdir)
    assert window_text(wine, MESSAGE_BOX, BOX_TEXT_CONTROL, 20000) == ALREADY_RUNNING
    press_ok(wine, MESSAGE_BOX)
    assert second.wait(120) == 0
    assert first.poll() is None
    (wine.drive_c / "release").write_bytes(b"")
    assert first.wait(60) == 0
    # One installation, whose wizard found install.jar until its end, before its launcher's end.
    assert jvm.kinds() == ["test", "wizard"]
    assert "JAR 1" in read_text(jvm.bindir / "stubjvm.runs").splitlines()
    assert ALREADY_RUNNING not in read_text(workdir / "errors.log")
    assert [name for name in ("install.jar", "__kivinstall.sem")
            if (workdir / name).exists()] == []


def test_launcher_stays_while_its_installation_runs_where_no_semaphore_can_be_made(wine, workdir):
    # Regression: in a work directory whose semaphore files cannot be created (here: one of 257
    # characters, too deep for one more name) the process ended during the JVM's test run.
    deep = workdir / ("d" * 200) / ("e" * 48)
    deep.mkdir(parents=True)
    assert len(wine.winpath(deep)) == 257
    # Started from a shorter path: Wine's WoW64 cannot load a 32-bit program from one that deep.
    program = wine.drive_c / "installer.exe"
    program.write_bytes(INSTALLER.read_bytes())
    jvm, proc = start(wine, deep, program, testUntil="C:\\release")
    assert wait_for((jvm.bindir / "stubjvm.runs").exists, 60)
    with pytest.raises(subprocess.TimeoutExpired):  # the JVM runs until released
        proc.wait(3)
    (wine.drive_c / "release").write_bytes(b"")
    assert proc.wait(60) == 0
    assert jvm.kinds()[0] == "test"
