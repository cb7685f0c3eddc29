"""Quiet starts, the command line handed to the sequence (every spelling of the switches:
tests/unit/cmdline_test.cpp), and the hand-over to the clean-up program."""
import pytest

from launcher_support import cleanup_runs, error_texts, install_cleanup_stub, run_quiet, trace_texts
from shell_support import DIALOG, ERROR_BOX, start_launcher, watch

READER_FAILURE = ["Unable to open kiv.control", "unable to get parameters",
                  "Unable to install application."]


# Regressions: the control-file reader showed its box even in quiet mode, so a scripted installation
# stopped until someone dismissed it; the runtime joins arguments with blanks, so an unquoted
# directory with a blank reached the clean-up program in two pieces; another spelling of the work
# directory (a trailing separator, forward slashes) handed the user's own start directory to it.
@pytest.mark.parametrize("name, control, start, cleanup", [
    ("work", False, None, False),
    ("work", True, "C:\\elsewhere  ", True),
    ("my work", True, "C:\\elsewhere  ", True),
    ("work", True, "c:\\WORK", False),
    ("work", True, "C:\\work\\", False),
    ("work", True, "C:/work", False),
])
def test_quiet_run_shows_nothing_and_hands_work_directory_on(wine, name, control, start, cleanup):
    work = wine.drive_c / name
    work.mkdir()
    install_cleanup_stub(work)
    (work / "jinstall.log").write_bytes(b"")  # the user's own: not marked as the launcher's
    seen = watch(wine, 5000, DIALOG, ERROR_BOX)
    if control:
        run_quiet(wine, work, start=start)
    else:
        assert start_launcher(wine, work, "-q", "x").wait(15) == 0
    assert seen() == set()
    assert {"Quite install: true", "Properties install: false", "Install argument: x",
            "set status quite"} <= set(trace_texts(work))
    for sem in ("jinstall.sem", "__kivinstall.sem", "__kivshow.sem"):
        assert not (work / sem).exists(), sem
    errors = error_texts(work)
    assert errors  # the failure is still reported, to the logs only
    if not control:
        assert [errors.count(line) for line in READER_FAILURE] == [1, 1, 1]
    assert (work / "cleanup.exe").exists() == (work / "__cleanup.exe").exists() == cleanup
    runs = cleanup_runs(work, 10 if cleanup else 0)
    assert runs == (["RUN", "ARG " + wine.winpath(work)] if cleanup else [])
