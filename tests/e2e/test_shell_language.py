"""The launcher in the user's language under a Wine locale (LC_ALL), in runs without kiv.control:
the run's one box is the reader's, ending with the language's pointer to the logs; a wizard whose
class is missing is named in German and in French; the versions a missing JVM needs are written
in German in the box and in English in errors.log."""
import pytest

from launcher_support import (JRE_KEY, JVM_BITS, WIZARD_CONTROL, StubJvm, control_text, error_texts, layout,
                              register)
from shell_support import (BOX_TEXT_CONTROL, DIALOG, STATUS_CONTROL, press_ok, screenshot,
                           seed_locale, start_launcher, text_fits, window_rect, window_text)

ENGLISH = ("Unpacking the installer...", "Tallybox Installer: Error", "Unable to open kiv.control",
           "See errors.log and jinstall.log files for details.")
LANGUAGES = [  # LC_ALL (LANG with LC_MESSAGES), LC_MESSAGES, status text, box caption, start and end
    ("fr_FR", None, "Préparation Wizard...", "Programme d'installation Tallybox : erreur",
     "Impossible d'ouvrir kiv.control", "pour plus de détails sur l'erreur."),
    ("de_DE", None, "Bereite Wizard..", "Tallybox-Installationsprogramm: Fehler",
     "kiv.control kann nicht geöffnet werden", "für nähere Angaben zu diesem Problem."),
    ("es_ES", None, "Preparando wizard...", "Instalador de Tallybox: error",
     "No se puede abrir kiv.control", "para más detalles acerca del error."),
    # Polish on a Western code page (Windows-1252 has no ł, ę, ć): the display language.
    ("de_DE", "pl_PL", "Inicjalizacja Wizard...", "Instalator Tallybox: błąd",
     "Nie można otworzyć pliku kiv.control", "proszę przejrzeć pliki errors.log i jinstall.log."),
    ("ja_JP", None, "インストーラーを展開中...", "Tallybox インストーラー: エラー",
     "kiv.control を開けません", "jinstall.log ファイルを確認してください。"),
    ("it_IT", None, "Preparazione Wizard...", "Programma di installazione di Tallybox: errore",
     "Impossibile aprire kiv.control", "per maggiori dettagli sull'errore."),
    ("pt_BR", None, "Preparando Wizard...", "Instalador do Tallybox: erro",
     "Não foi possível abrir kiv.control", "a respeito do erro."),
    ("nl_NL", None, "Voorbereiden Wizard...", "Tallybox-installatieprogramma: fout",
     "Kan kiv.control niet openen", "voor meer informatie over dit probleem."),
    ("ru_RU", None, *ENGLISH),
    (None, None, *ENGLISH),  # the test run's own locale, at 96 and then at 144 DPI
]


@pytest.mark.parametrize("lc_all, messages, status, caption, start, suffix", LANGUAGES)
def test_dialog_and_boxes_speak_the_users_language(wine, workdir, lc_all, messages, status,
                                                   caption, start, suffix):
    if messages:  # the code page of the one, the display language of the other
        wine.env.update(LANG=lc_all + ".UTF-8", LC_MESSAGES=messages + ".UTF-8")
    elif lc_all:  # every process started in the prefix sets the name again, the probes too
        wine.env["LC_ALL"] = lc_all + ".UTF-8"
    if lc_all == "de_DE" and not messages:  # French dates and numbers: the display language wins
        seed_locale(wine, "fr-FR")
        (workdir / "locale.log").write_bytes(b"")
    widths = []
    for dpi in (96, 144, 192) if lc_all is None else (96,):  # 100, 150 and 200 %
        if dpi > 96:
            wine.reg_import('[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n'
                            f'"LogPixels"=dword:{dpi:08x}\n')
        proc = start_launcher(wine, workdir)
        assert window_text(wine, DIALOG, STATUS_CONTROL, 120000) == status
        if lc_all == "ja_JP":  # a download's two lines fit the line above its bar (statuswin.cpp)
            assert text_fits(wine, DIALOG, STATUS_CONTROL, "Java をダウンロード中...\\r\\n"
                             "1023.9 MB / 1023.9 MB", 160, 32) == "fits"
        widths.append(int(window_rect(wine, DIALOG).split("x")[0]))
        text = window_text(wine, caption, BOX_TEXT_CONTROL, 120000)
        assert text.startswith(start + "\n\n") and text.endswith(suffix), text
        box = window_rect(wine, caption, 0, 0)  # off the dialog, for the pictures
        if lc_all in ("fr_FR", "ja_JP"):
            screenshot(f"shell_error_box_{lc_all}.png", box)
        if lc_all is None:
            screenshot(f"shell_dialog_{dpi}dpi.png", window_rect(wine, DIALOG))
            screenshot(f"shell_error_box_{dpi}dpi.png", box)
        press_ok(wine, caption)
        assert proc.wait(120) == 0  # no second box, and no exit code without the key
    if (workdir / "locale.log").exists():
        assert set((workdir / "locale.log").read_text().splitlines()) == {
            "decided by the preferred UI languages, locale: de-DE language: german"}
    if lc_all is None:  # laid out in dialog units, the dialog grows with the resolution
        assert widths[1] >= widths[0] * 1.3 and widths[2] >= widths[0] * 1.8, widths



@pytest.mark.parametrize("lc_all, caption, message", [
    ("de_DE", "Tallybox-Installationsprogramm: Fehler",
     "Die Hauptklasse com.example.Wizrd des Installationsassistenten wurde nicht gefunden."),
    ("fr_FR", "Programme d'installation Tallybox : erreur",
     "La classe principale com.example.Wizrd de l'assistant d'installation est introuvable."),
])
def test_a_wizard_class_not_found_is_named_in_the_users_language(wine, workdir, lc_all, caption,
                                                                 message):
    wine.env["LC_ALL"] = lc_all + ".UTF-8"
    jvm = StubJvm(wine, "jre18", "1.8.0_202", missingClass="com.example.Wizrd")
    register(wine, [(JRE_KEY, "1.8", "0_202", jvm.winhome)], JVM_BITS)
    layout(wine, workdir, control_text(jvmMinVersion="1.8", reportFailureByExitCode="true",
                                       **dict(WIZARD_CONTROL, loaderJavaCommand="com.example.Wizrd")))
    proc = start_launcher(wine, workdir)
    text = window_text(wine, caption, BOX_TEXT_CONTROL, 60000)
    # The cause alone (no list of other causes), then the pointer to the logs.
    assert text.split("\n\n")[0] == message and len(text.split("\n\n")) == 2, text
    assert "jinstall.log" in text
    press_ok(wine, caption)
    assert proc.wait(120) == 3  # the wizard failed
    errors = error_texts(workdir)
    assert "Java wizard not started properly" in errors
    assert "the wizard's JVM ended with exit code 1" in errors
    assert "wizard's JVM: Error: Could not find or load main class com.example.Wizrd" in errors
    assert "The main class com.example.Wizrd of the install wizard was not found." in errors


def test_a_missing_jvm_box_gives_the_versions_in_the_users_language(wine, workdir):
    wine.env["LC_ALL"] = "de_DE.UTF-8"
    (workdir / "kiv.control").write_bytes(b"searchForJvm=none\njvmMinVersion=8\n")
    proc = start_launcher(wine, workdir)
    caption = "Tallybox-Installationsprogramm: Fehler"
    text = window_text(wine, caption, BOX_TEXT_CONTROL, 120000)
    assert text.split("\n\n")[0] == (
        "Die richtige Version von JRE wurde auf Ihrem System nicht gefunden.\r\rBitte installieren "
        "Sie JRE 8 oder eine neuere Version und starten Sie dieses Installationsprogramm danach "
        "neu."), text
    press_ok(wine, caption)
    assert proc.wait(120) == 0
    assert "Please install JRE 8 or a later version and then restart this installation program." \
        in error_texts(workdir)
