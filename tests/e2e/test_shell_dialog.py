"""The status dialog and the error box of a failed run, read back from the windows themselves; the
product's name in their captions."""
import pytest

from conftest import stub, wait_for
from launcher_support import (JRE_KEY, JVM_BITS, WIZARD_CONTROL, StubJvm, control_text,
                              error_texts, layout, register, run_launcher, trace_texts)
from shell_support import (BOX_TEXT_CONTROL, BRANDED, BRANDED_PRODUCT, DIALOG, ERROR_BOX, INSTALLER,
                           STATUS_CONTROL, press_ok, probe, screenshot, start_launcher, watch,
                           window_count, window_rect, window_text)

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
    assert window_text(wine, DIALOG, STATUS_CONTROL, 120000) == "Unpacking the installer..."
    assert window_text(wine, DIALOG, 0) == "Installer"
    assert window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL, 120000) == "\r\r".join(NOT_FOUND) + \
        "\n\nSee errors.log and jinstall.log files for details."
    screenshot("shell_error_box.png", window_rect(wine, ERROR_BOX, 0, 0))  # off the dialog
    screenshot("shell_dialog_english.png", window_rect(wine, DIALOG))
    if message:
        assert probe(wine, "post", DIALOG, *message)[0] == 0
    assert wait_for(lambda: window_count(wine, DIALOG) == 0, 5 if message else 20, 0.05)
    assert window_count(wine, ERROR_BOX) == 1
    assert proc.poll() is None
    # The worker has let the dialog go and waits for the box.
    assert (workdir / "__kivinstall.sem").exists()
    assert press_ok(wine)
    assert proc.wait(120) == 0
    assert not any((workdir / name).exists() for name in ("__kivinstall.sem", "jinstall.sem"))
    assert [error_texts(workdir).count(line) for line in NOT_FOUND] == [1, 1]
    # The watcher that proves quiet runs show nothing does see these windows.
    assert seen() == {DIALOG, ERROR_BOX}
    # The launcher switched tracing on for this run; the clean-up kept the trace, with the outcome.
    trace = trace_texts(workdir)
    assert "Search for JVM: none" in trace and trace[-1] == "install ok: false"


# The product's name: the control file's productName once it is read, else the version block's
# ProductName (the branded build's), else the launcher's own captions. A run without kiv.control
# shows its box before any control file is read.
@pytest.mark.parametrize("exe, control, lc_all, dialog, box", [
    (INSTALLER, "productName=Acme Wörks\n", None, "Acme Wörks", "Acme Wörks: Error"),
    (BRANDED, "", None, BRANDED_PRODUCT, BRANDED_PRODUCT + ": Error"),
    (BRANDED, "productName=Acme Wörks\n", "de_DE", "Acme Wörks", "Acme Wörks: Fehler"),
    (BRANDED, None, "fr_FR", BRANDED_PRODUCT, BRANDED_PRODUCT + " : erreur"),
    (INSTALLER, "productName=\n", "de_DE", DIALOG, "Tallybox-Installationsprogramm: Fehler"),
], ids=["control-file", "version-block", "control-file-over-version-block", "no-control-file",
        "empty-key"])
def test_the_captions_carry_the_products_name(wine, workdir, exe, control, lc_all, dialog, box):
    if lc_all:
        wine.env["LC_ALL"] = lc_all + ".UTF-8"
    if control is not None:
        (workdir / "kiv.control").write_bytes(("searchForJvm=none\n" + control).encode())
    proc = start_launcher(wine, workdir, exe=exe)
    # The dialog (its status line shows it is the dialog) takes the name, then the box comes.
    assert window_text(wine, dialog, STATUS_CONTROL, 120000)
    assert window_text(wine, box, BOX_TEXT_CONTROL, 120000)
    if exe == BRANDED and control == "":
        screenshot("shell_branded_error_box.png", window_rect(wine, box, 0, 0))
    assert press_ok(wine, box)
    assert proc.wait(120) == 0


def test_the_status_line_follows_the_stages(wine, workdir):
    # Two slow proofs, the newest refused by its answer: the line names each as it is proved.
    jvms = [StubJvm(wine, "jre18new", "1.7.0_80", delay=2500),
            StubJvm(wine, "jre18", "1.8.0_202", delay=2500)]
    register(wine, [(JRE_KEY, "1.8", "0_301", jvms[0].winhome),
                    (JRE_KEY, "1.8.0_202", "0", jvms[1].winhome)], JVM_BITS)
    layout(wine, workdir, control_text(**dict(WIZARD_CONTROL, jvmMinVersion="1.8")))
    follower = wine.start(stub("winprobe"), "follow", DIALOG, STATUS_CONTROL, 240000)
    assert follower.stdout.readline().strip() == b"WATCHING"
    proc = start_launcher(wine, workdir)
    # Generous limits: on a busy machine the first window of a fresh prefix can take a minute.
    assert proc.wait(240) == 0
    seen = follower.communicate(timeout=300)[0].decode("utf-8").splitlines()
    # The first text is there only while the dialog is up before the search begins.
    stages = ["Unpacking the installer...", "Looking for an installed Java runtime...",
              "Checking Java runtime 1 of 2...", "Checking Java runtime 2 of 2...",
              "Starting the install wizard..."]
    assert seen == [text for text in stages if text in seen], seen
    assert stages[2:] == seen[-3:], seen
    # A quiet run traces the same stages, in English.
    layout(wine, workdir, control_text(**dict(WIZARD_CONTROL, jvmMinVersion="1.8")))
    assert run_launcher(wine, workdir, "-q", "x") == 0
    assert [line for line in trace_texts(workdir) if line.startswith("stage:")] == [
        "stage: " + text for text in stages[1:]]


def test_a_fast_failure_box_is_never_under_the_dialog(wine, workdir):
    # Regression: a run that failed within half a second (here: no kiv.control) showed its box
    # before the dialog was drawn, and the dialog came over it in about one run of three.
    orders = []
    for run in range(5):
        proc = start_launcher(wine, workdir)
        code, order = probe(wine, "order", ERROR_BOX, DIALOG, 120000, timeout=180)
        assert code == 0
        orders.append(order.strip())
        if run == 0:
            screenshot("fast-failure-box.png", None)
        assert press_ok(wine)
        assert proc.wait(120) == 0
    assert set(orders) <= {"owned above", "alone"}, orders
