"""The launcher in the user's language under a Wine locale (LC_ALL), in runs without kiv.control:
the run's one box is the reader's, ending with the language's pointer to the logs."""
import pytest

from shell_support import (BOX_TEXT_CONTROL, DIALOG, ERROR_BOX, STATUS_CONTROL, press_ok,
                           screenshot, seed_locale, start_launcher, window_rect, window_text)

ENGLISH = ("Unpacking the installer...", "See errors.log and jinstall.log files for details.")
LANGUAGES = [  # LC_ALL, locale name forced over Wine's, status text, end of the reader's box
    ("fr_FR", None, "Préparation Wizard...", "pour plus de détails sur l'erreur."),
    ("de_DE", None, "Bereite Wizard..", "für nähere Angaben zu diesem Problem."),
    ("es_ES", None, "Preparando wizard...", "para más detalles acerca del error."),
    # Polish on a Western code page (Windows-1252 has no ł, ę, ć).
    ("de_DE", "pl-PL", "Inicjalizacja Wizard...",
     "o błędach proszę przejrzeć pliki errors.log i jinstall.log files."),
    ("ja_JP", None, "\rPreparing wizard...", "for more details about the error."),
    ("it_IT", None, "Preparazione Wizard...", "per maggiori dettagli sull'error."),
    ("pt_BR", None, "Preparando Wizard...", "a respeito do erro."),
    ("nl_NL", None, "Voorbereiden Wizard...", "voor meer informatie over dit probleem."),
    ("ru_RU", None, *ENGLISH),
    (None, None, *ENGLISH),  # the test run's own locale, at 96 and then at 144 DPI
]


@pytest.mark.parametrize("lc_all, forced, status, suffix", LANGUAGES)
def test_dialog_and_boxes_speak_the_users_language(wine, workdir, lc_all, forced, status, suffix):
    if lc_all:  # every process started in the prefix sets the name again, the probes too
        wine.env["LC_ALL"] = lc_all + ".UTF-8"
    if forced:
        seed_locale(wine, forced)
    widths = []
    for dpi in (96, 144) if lc_all is None else (96,):
        if dpi == 144:
            wine.reg_import('[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:90\n')
        proc = start_launcher(wine, workdir)
        assert window_text(wine, DIALOG, STATUS_CONTROL, 30000) == status
        widths.append(int(window_rect(wine, DIALOG).split("x")[0]))
        text = window_text(wine, ERROR_BOX, BOX_TEXT_CONTROL, 30000)
        assert text.startswith("Unable to open kiv.control\n\n") and text.endswith(suffix), text
        box = window_rect(wine, ERROR_BOX, 0, 0)  # off the dialog, for the pictures
        if lc_all == "fr_FR":
            screenshot("shell_error_box_french.png", box)
        if dpi == 144:
            screenshot("shell_dialog_144dpi.png", window_rect(wine, DIALOG))
        press_ok(wine)
        assert proc.wait(20) == 0  # no second box
    if lc_all is None:  # laid out in dialog units, the dialog grows with the resolution
        assert widths[1] >= widths[0] * 1.3, widths

