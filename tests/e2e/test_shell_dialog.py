"""The status dialog and the error box of a failed run, read back from the windows themselves."""
import pytest

from conftest import read_text, wait_for
from shell_support import (APPLICATION_MESSAGE, BOX_TEXT_CONTROL, DIALOG, ERROR_BOX,
                           NOT_FOUND_DETAILS, NOT_FOUND_MESSAGE, NO_SEARCH_CONTROL, OTHER_CAUSES,
                           STATUS_CONTROL, VK_ESCAPE, Watcher, press_ok, probe, screenshot,
                           start_launcher, wait_exit, wait_window, window_count, window_crop,
                           window_gone, window_text)

NOT_FOUND_BOX = NOT_FOUND_MESSAGE + "\r\r" + NOT_FOUND_DETAILS


def start(wine, workdir):
    """Starts a run that fails once its control file is read: no search and no way to install a JVM."""
    (workdir / "kiv.control").write_bytes(NO_SEARCH_CONTROL)
    return start_launcher(wine, workdir)


def failure_report_logged(workdir):
    errors = read_text(workdir / "errors.log").replace("\r\n", "\n")
    return (errors.count(" " + NOT_FOUND_MESSAGE + "\n") == 1
            and errors.count(" " + NOT_FOUND_DETAILS + "\n") == 1)


def semaphores_gone(workdir):
    return not (workdir / "__kivinstall.sem").exists() and not (workdir / "__kivshow.sem").exists()


def show_dialog_beside_box(wine):
    """The error box comes up at once and covers the dialog: move it aside."""
    assert wait_window(wine, ERROR_BOX)
    probe(wine, "move", ERROR_BOX, 0, 0)


def test_dialog_shows_initial_text_and_failed_run_shows_one_error_box(wine, workdir):
    watcher = Watcher(wine, 3000, DIALOG, ERROR_BOX)
    proc = start(wine, workdir)
    assert wait_window(wine, DIALOG)
    assert window_text(wine, DIALOG, STATUS_CONTROL) == "Unpacking the installer..."
    assert window_text(wine, DIALOG, 0) == "Installer"

    show_dialog_beside_box(wine)
    screenshot("shell_dialog_english.png", window_crop(wine, DIALOG))
    screenshot("shell_error_box.png", window_crop(wine, ERROR_BOX))
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL) == NOT_FOUND_BOX
    assert window_count(wine, ERROR_BOX) == 1
    # The box is up: the worker has let the dialog go and is waiting.
    assert not (workdir / "__kivshow.sem").exists()
    assert (workdir / "__kivinstall.sem").exists()

    assert press_ok(wine)
    assert wait_exit(proc, 15) == 0
    assert window_count(wine, ERROR_BOX) == 0
    assert semaphores_gone(workdir)
    assert failure_report_logged(workdir)
    # The watcher that proves quiet runs show nothing does see these windows.
    assert watcher.seen() == [DIALOG, ERROR_BOX]
    # The environment step switched tracing on for this run: the trace holds what followed it, and
    # the clean-up kept it, ending with the outcome.
    assert not (workdir / "jinstall.sem").exists()
    trace = read_text(workdir / "jinstall.log")
    assert "Preparing Java install wizard" not in trace
    assert " Search for JVM: none\r\n" in trace
    assert trace.endswith(" install ok: false\r\n")


# Escape and the close box only destroy the dialog (a posted WM_DESTROY); left alone, the dialog
# hides about ten seconds after the hand-over (about 100 timer messages; bounded well above that).
# Either way the installation goes on, its box stays up and, once dismissed, the sequence ends.
@pytest.mark.parametrize("how", [("key", DIALOG, VK_ESCAPE), ("close", DIALOG), None],
                         ids=["escape", "close", "hand-over"])
def test_escape_close_or_hand_over_takes_only_the_dialog_away(wine, workdir, how):
    proc = start(wine, workdir)
    assert wait_window(wine, DIALOG)
    assert wait_window(wine, ERROR_BOX)
    if how:
        assert probe(wine, *how)[0] == 0
    assert window_gone(wine, DIALOG, 5000 if how else 20000)
    assert window_count(wine, ERROR_BOX) == 1
    assert proc.poll() is None
    assert (workdir / "__kivinstall.sem").exists()
    assert not (workdir / "__kivshow.sem").exists()
    press_ok(wine)
    assert wait_exit(proc, 15) == 0
    assert wait_for(lambda: semaphores_gone(workdir), 5)
    assert failure_report_logged(workdir)


def test_missing_control_file_shows_the_readers_box_then_the_failure_report(wine, workdir):
    proc = start_launcher(wine, workdir)
    assert wait_window(wine, ERROR_BOX)
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL).startswith(
        "Unable to open kiv.control")
    assert window_count(wine, ERROR_BOX) == 1
    press_ok(wine)
    # Then the sequence's own report, once.
    assert wait_for(lambda: window_count(wine, ERROR_BOX) == 1 and window_text(
        wine, ERROR_BOX, BOX_TEXT_CONTROL) == APPLICATION_MESSAGE + "\r\r" + OTHER_CAUSES, 15)
    press_ok(wine)
    assert wait_exit(proc, 15) == 0
    errors = read_text(workdir / "errors.log").replace("\r\n", "\n")
    assert errors.count(" Unable to open kiv.control\n") == 1
    assert errors.count(" unable to get parameters\n") == 1
    assert errors.count(" " + APPLICATION_MESSAGE + "\n") == 1
