"""The hand-over: once the worker has let the dialog go (here: its error box
is up), the dialog stays about ten seconds more, then hides, while the
worker goes on."""
from conftest import read_text
from shell_support import (DIALOG, ERROR_BOX, NOT_FOUND_MESSAGE, NO_SEARCH_CONTROL, press_ok,
                           start_launcher, wait_exit, wait_window, window_count, window_gone)


def test_dialog_hides_after_hand_over_while_error_box_stays(wine, workdir):
    (workdir / "kiv.control").write_bytes(NO_SEARCH_CONTROL)
    proc = start_launcher(wine, workdir)
    assert wait_window(wine, DIALOG)
    assert wait_window(wine, ERROR_BOX)
    # About 100 timer messages; bounded well above that.
    assert window_gone(wine, DIALOG, 20000)
    assert window_count(wine, ERROR_BOX) == 1
    assert proc.poll() is None
    assert (workdir / "__kivinstall.sem").exists()
    assert not (workdir / "__kivshow.sem").exists()
    press_ok(wine)
    assert wait_exit(proc, 15) == 0
    assert not (workdir / "__kivinstall.sem").exists()
    assert NOT_FOUND_MESSAGE in read_text(workdir / "errors.log")
