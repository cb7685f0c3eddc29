"""Quiet starts, the command line handed to the sequence (every spelling of the switches:
tests/unit/cmdline_test.cpp), and the hand-over to the clean-up program."""
import pytest

from conftest import read_text
from launcher_support import cleanup_runs, install_cleanup_stub, run_quiet, trace_texts
from shell_support import DIALOG, ERROR_BOX, Watcher, start_launcher, wait_exit


@pytest.mark.parametrize("control", [True, False], ids=["failing", "no-control-file"])
def test_quiet_run_shows_no_window_and_hands_switch_and_argument_on(wine, workdir, control):
    # Regression: the control-file reader showed its own box even in quiet mode, so a scripted
    # installation stopped until someone dismissed it.
    (workdir / "jinstall.log").write_bytes(b"")
    watcher = Watcher(wine, 5000, DIALOG, ERROR_BOX)
    if control:
        run_quiet(wine, workdir)
    else:
        assert wait_exit(start_launcher(wine, workdir, "-q", "x"), 15) == 0
    assert watcher.seen() == []
    texts = trace_texts(workdir)
    assert "Quite install: true" in texts
    assert "Properties install: false" in texts
    assert "Install argument: x" in texts
    assert "set status quite" in texts
    # The failure is still reported, to the logs only.
    errors = read_text(workdir / "errors.log")
    assert errors != ""
    if not control:
        assert " Unable to open kiv.control\r\n" in errors
        assert " unable to get parameters\r\n" in errors
    # The user's own trace file is not marked as the launcher's.
    assert not (workdir / "jinstall.sem").exists()
    assert not (workdir / "__kivinstall.sem").exists()
    assert not (workdir / "__kivshow.sem").exists()


@pytest.mark.parametrize("name", ["work", "my work"])
def test_start_in_other_directory_hands_work_directory_to_cleanup_program(wine, name):
    # Regression: the runtime joins arguments with blanks, so an unquoted directory with a blank
    # reached the clean-up program in two pieces.
    work = wine.drive_c / name
    work.mkdir(exist_ok=True)
    install_cleanup_stub(work)
    (work / "startdir.txt").write_bytes(b"C:\\elsewhere  \r\n")
    run_quiet(wine, work)
    assert cleanup_runs(work) == ["RUN", "ARG C:\\" + name]
    assert (work / "__cleanup.exe").exists()
    assert (work / "cleanup.exe").exists()


@pytest.mark.parametrize("start", [b"c:\\WORK", b"C:\\work\\", b"C:/work", None])
def test_start_in_work_directory_or_none_deletes_both_cleanup_programs(wine, workdir, start):
    # Regression: another spelling of the work directory (a trailing separator, forward slashes)
    # handed the user's own start directory to the clean-up program.
    install_cleanup_stub(workdir)
    if start is not None:
        (workdir / "startdir.txt").write_bytes(start + b"\r\n")
    run_quiet(wine, workdir)
    assert not (workdir / "cleanup.exe").exists()
    assert not (workdir / "__cleanup.exe").exists()
    assert not (workdir / "cleanupstub.runs").exists()
