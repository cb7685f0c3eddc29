"""The status dialog and the error box of a failed run, read back from the windows themselves."""
import pytest

from conftest import wait_for
from launcher_support import error_texts, trace_texts
from shell_support import (BOX_TEXT_CONTROL, DIALOG, ERROR_BOX, STATUS_CONTROL, press_ok, probe,
                           screenshot, start_launcher, watch, window_count, window_rect,
                           window_text)

NOT_FOUND = ("The correct version of the JRE was not found on your system.",
             "Please install JRE 1.4 and then restart this installation program.")


# Escape and the close box only destroy the dialog; left alone, it hides about ten seconds after
# the hand-over. Either way the installation goes on and its box stays up until dismissed.
@pytest.mark.parametrize("message", [(0x100, 0x1B, 1), (0x10, 0, 0), None],  # WM_KEYDOWN, WM_CLOSE
                         ids=["escape", "close", "hand-over"])
def test_failed_run_shows_the_dialog_then_one_error_box(wine, workdir, message):
    seen = watch(wine, 3000, DIALOG, ERROR_BOX)
    # No search and no way to install a JVM: the run fails once its control file is read.
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    proc = start_launcher(wine, workdir)
    assert window_text(wine, DIALOG, STATUS_CONTROL, 30000) == "Unpacking the installer..."
    assert window_text(wine, DIALOG, 0) == "Installer"
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL, 30000) == "\r\r".join(NOT_FOUND) + \
        "\n\nSee errors.log and jinstall.log files for details."
    screenshot("shell_error_box.png", window_rect(wine, ERROR_BOX, 0, 0))  # off the dialog
    screenshot("shell_dialog_english.png", window_rect(wine, DIALOG))
    if message:
        assert probe(wine, "post", DIALOG, *message)[0] == 0
    assert wait_for(lambda: window_count(wine, DIALOG) == 0, 5 if message else 20, 0.05)
    assert window_count(wine, ERROR_BOX) == 1
    assert proc.poll() is None
    # The worker has let the dialog go and waits for the box.
    assert (workdir / "__kivinstall.sem").exists() and not (workdir / "__kivshow.sem").exists()
    assert press_ok(wine)
    assert proc.wait(15) == 0
    assert not any((workdir / name).exists() for name in ("__kivinstall.sem", "jinstall.sem"))
    assert [error_texts(workdir).count(line) for line in NOT_FOUND] == [1, 1]
    # The watcher that proves quiet runs show nothing does see these windows.
    assert seen() == {DIALOG, ERROR_BOX}
    # The launcher switched tracing on for this run; the clean-up kept the trace, with the outcome.
    trace = trace_texts(workdir)
    assert "Search for JVM: none" in trace and trace[-1] == "install ok: false"
