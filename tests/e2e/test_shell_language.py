"""The launcher in the user's language under a Wine locale (LC_ALL): Wine sets the user's locale
name from it (de-DE, fr-FR, ...) when a process starts."""
import pytest

from conftest import read_text
from shell_support import (BOX_TEXT_CONTROL, DIALOG, ERROR_BOX, STATUS_CONTROL, press_ok, probe,
                           screenshot, seed_locale, start_launcher, wait_exit, wait_window,
                           window_crop, window_text)

# A run without kiv.control: the reader's box has no details, so it ends with the language's pointer
# to the logs.
MISSING_CONTROL = "Unable to open kiv.control"

LANGUAGES = [
    # (LC_ALL, locale name forced over Wine's, status text, end of the box)
    ("fr_FR", None, "Préparation Wizard...",
     "pour plus de détails sur l'erreur."),
    ("de_DE", None, "Bereite Wizard..",
     "\n\nBitte Überprüfen Sie die Dateien errors.log und jinstall.log für nähere Angaben zu "
     "diesem Problem."),
    ("es_ES", None, "Preparando wizard...", "para más detalles acerca del error."),
    # Polish on a Western code page (Windows-1252 has no ł, ę, ć).
    ("de_DE", "pl-PL", "Inicjalizacja Wizard...",
     "\n\nW celu uzyskania dokładnej informacji o błędach proszę przejrzeć pliki errors.log i "
     "jinstall.log files."),
    ("ja_JP", None, "\rPreparing wizard...", "for more details about the error."),
    ("it_IT", None, "Preparazione Wizard...", "per maggiori dettagli sull'error."),
    ("pt_BR", None, "Preparando Wizard...", "a respeito do erro."),
    ("nl_NL", None, "Voorbereiden Wizard...", "voor meer informatie over dit probleem."),
    ("ru_RU", None, "Unpacking the installer...", "See errors.log and jinstall.log files for details."),
]


@pytest.mark.parametrize("lc_all, forced, status, suffix", LANGUAGES,
                         ids=[row[1] or row[0] for row in LANGUAGES])
def test_dialog_and_box_speak_the_users_language(wine, workdir, lc_all, forced, status, suffix):
    # Every process started in the prefix rewrites the name, the probes too.
    wine.env["LC_ALL"] = lc_all + ".UTF-8"
    if forced:
        seed_locale(wine, forced)
    (workdir / "locale.log").write_bytes(b"")
    proc = start_launcher(wine, workdir)
    assert wait_window(wine, DIALOG)
    assert window_text(wine, DIALOG, STATUS_CONTROL) == status
    assert wait_window(wine, ERROR_BOX)
    box = window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL)
    assert box.startswith(MISSING_CONTROL) and box.endswith(suffix), box
    if lc_all == "fr_FR":
        probe(wine, "move", ERROR_BOX, 0, 0)
        screenshot("shell_error_box_french.png", window_crop(wine, ERROR_BOX))
    close_both_boxes(wine, proc)
    if lc_all == "de_DE" and not forced:
        assert read_text(workdir / "locale.log").splitlines()[:2] == [
            "German found locale: de-de language: german",
            "getLang locale: de-DE language: german"]


def close_both_boxes(wine, proc):
    """Dismisses the control-file reader's box, then the sequence's own report (which has details),
    and waits for the end."""
    press_ok(wine)
    assert wait_window(wine, ERROR_BOX)
    press_ok(wine)
    assert wait_exit(proc, 20) == 0


def test_dialog_at_144_dpi_is_drawn_at_its_size(wine, workdir):
    sizes = {}
    for dpi in (96, 144):
        wine.reg_import(f'[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:{dpi:08x}\n')
        proc = start_launcher(wine, workdir)
        assert wait_window(wine, DIALOG)
        assert window_text(wine, DIALOG, STATUS_CONTROL) == "Unpacking the installer..."
        x, y, w, h = (int(v) for v in probe(wine, "rect", DIALOG)[1].split())
        sizes[dpi] = (w, h)
        assert wait_window(wine, ERROR_BOX)
        if dpi == 144:
            # The box comes up at once and covers the dialog: move it away.
            probe(wine, "move", ERROR_BOX, 2000, 0)
            screenshot("shell_dialog_144dpi.png", window_crop(wine, DIALOG))
        close_both_boxes(wine, proc)
    # Laid out in dialog units, the dialog grows with the display's resolution.
    assert sizes[144][0] >= sizes[96][0] * 1.3, sizes
