// German: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

// Stands where the stored aliases hold a replacement character.
#define R "\xEF\xBF\xBD"
static const char* const Aliases[] = {
    "dea", "german-austrian", "deu", "des", "german-swiss", "swiss", "alem" R "n",
    "alem" R "o", "tedesco", "allemand", nullptr};
#undef R

static const UserPattern Texts[] = {
    {TextDiskSpace,
     "Ist im Ziel- oder im temporären Verzeichnis kein Speicherplatz mehr frei?\r\r"
     "    Weitere mögliche Ursachen finden Sie in errors.log."},
    {TextOtherCauses,
     "Weitere mögliche Fehlerursachen:\n"
     "    * Lese- und Schreibrechte für das „temp“- und das Installationsverzeichnis?\n"
     "    * Muss das Betriebssystem aktualisiert werden, um Java-Anwendungen auszuführen?\n"
     "    * Verhindert eine installierte Antivirensoftware das Ausführen unbekannter Programme "
     "oder JAR-Dateien?\n"
     "    * Exportiert Ihr System die Anzeige?"},
    {TextWizardNotStarted,
     "Der Installationsassistent konnte nicht gestartet werden.\r\rGibt es im Suchpfad (PATH) "
     "einen „java“-Befehl, der nicht die JRE startet?\r\rWenn ja, entfernen Sie ihn und "
     "starten Sie die Installation erneut."},
    {TextUnableToInstall, "Die Anwendung konnte nicht installiert werden."},
    {TextJvmNotFound, "Die richtige Version von %1 wurde auf Ihrem System nicht gefunden."},
    {TextInstallJvmAndRestart,
     "Bitte installieren Sie %1 %2 und starten Sie dieses Installationsprogramm danach neu."},
    {TextUnableToFindJvm, "%1 %2 wurde auf Ihrem System nicht gefunden."},
    {TextInstallTheJvm,
     "Bitte installieren Sie die JVM und starten Sie dieses Installationsprogramm neu."},
    {TextUnableToInstallJvm, "%1 %2 konnte nicht installiert werden."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 oder eine neuere Version"},
    {TextControlFileNotOpened, "kiv.control kann nicht geöffnet werden"},
    {TextControlFileNotOpenedForReading, "Die Steuerdatei kann nicht geöffnet werden"},
    {TextControlFileNotRead, "kiv.control kann nicht gelesen werden"},
    {TextErrorsLogNotSaved, "errors.log kann nicht gespeichert werden"},
    {TextTryWritableDrive, "Installieren Sie von einem Laufwerk ohne Schreibschutz."},
    {TextAlreadyRunning,
     "In diesem Verzeichnis läuft bereits ein anderes Installationsprogramm. Dieses "
     "installiert nichts; warten Sie, bis das andere fertig ist."},
    {TextCaption, "Tallybox-Installationsprogramm"},
    {TextErrorCaption, "%1: Fehler"},
    {TextSeeLogs,
     "\n\nBitte Überprüfen Sie die Dateien errors.log und jinstall.log für nähere Angaben zu "
     "diesem Problem."},
    {TextMainClassMissing, "Die Hauptklasse %1 des Installationsassistenten wurde nicht gefunden."},
    {TextWizardArchiveMissing, "Das Archiv %1 des Installationsassistenten fehlt."},
    {TextWizardEndedWithoutStarting,
     "Der Installationsassistent hat sich beendet, ohne zu starten."},
    {TextDownloadFailed, "Die Java-Laufzeitumgebung konnte nicht heruntergeladen werden."},
    {TextDownloadAddress, "Die Download-Adresse ist %1."},
    {TextPackageFaulty, "Das Paket ist fehlerhaft: %1"},
    {TextDownloading, "Java-Runtime wird heruntergeladen..."},
    {TextExpanding, "Java-Runtime wird entpackt..."},
    {TextProgressOf, "%1 von %2"},
    {TextProvidedJvmRefused, "Die bereitgestellte Java-Laufzeitumgebung meldet die Version %1, diese Installation braucht aber %2."},
    {TextJvmHomeMissing, "Der Ordner %1 der Java-Laufzeitumgebung ist nicht in dem, was bereitgestellt wurde; dort liegt %2."},
    {TextJvmFolderInTheWay, "Der Ordner %1 steht der Java-Laufzeitumgebung im Weg: Er enthält %2, was nicht vom Installationsprogramm stammt."},
    {TextExpansionFailed, "Die Java-Laufzeitumgebung wurde heruntergeladen, konnte aber nicht entpackt werden."},
    {TextElevationDeclined, "%1 braucht Administratorrechte, um die Java-Laufzeitumgebung zu installieren, und sie wurden nicht erteilt."},
    {TextUnpacking, "Bereite Wizard.."},
    {TextLookingForJvm, "Suche nach einer installierten Java-Laufzeitumgebung..."},
    {TextCheckingJvm, "Prüfe Java-Laufzeitumgebung %1 von %2..."},
    {TextInstallingJvm, "Installiere die Java-Laufzeitumgebung..."},
    {TextStartingWizard, "Starte den Installationsassistenten..."},
    {TextRenamedTo, "Alt: zu"},
};

const Language German = {"german", "German found", "de", Aliases, 0};
const LanguageSource GermanSource = {Texts, sizeof Texts / sizeof Texts[0]};
