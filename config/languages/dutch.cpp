// Dutch: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

static const char* const Aliases[] = {"dutch (standard)", "dutch (belgian)",
                                           "dutch-standard", "dutch-belgian",
                                           "landinstellingen", nullptr};

static const UserPattern Texts[] = {
    {TextDiskSpace,
     "Is de schijfruimte van de doelmap of de tijdelijke mappen op?\r\r"
     "    Zie errors.log voor andere mogelijke oorzaken."},
    {TextOtherCauses,
     "Andere mogelijke oorzaken van fouten:\n"
     "    * Lees- en schrijfrechten voor de map 'temp' en de installatiemap?\n"
     "    * Moet het besturingssysteem worden bijgewerkt om Java-toepassingen uit te voeren?\n"
     "    * Is er antivirussoftware geïnstalleerd die onbekende programma's of JAR-bestanden "
     "niet laat uitvoeren?\n"
     "    * Exporteert uw systeem het beeldscherm?"},
    {TextWizardNotStarted,
     "Kan de installatiewizard niet starten.\r\rStaat er in het pad (PATH) een opdracht "
     "\"java\" die de JRE niet start?\r\rZo ja, verwijder deze en start de installatie "
     "opnieuw."},
    {TextUnableToInstall, "Kan de toepassing niet installeren."},
    {TextJvmNotFound, "De juiste versie van %1 is niet gevonden op uw systeem."},
    {TextInstallJvmAndRestart, "Installeer %1 %2 en start dit installatieprogramma daarna opnieuw."},
    {TextUnableToFindJvm, "Kan %1 %2 niet vinden op uw systeem."},
    {TextInstallTheJvm, "Installeer de JVM en start dit installatieprogramma opnieuw."},
    {TextUnableToInstallJvm, "Kan %1 %2 niet installeren."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 of een latere versie"},
    {TextControlFileNotOpened, "Kan kiv.control niet openen"},
    {TextControlFileNotOpenedForReading, "Kan het besturingsbestand niet openen"},
    {TextControlFileNotRead, "Kan kiv.control niet lezen"},
    {TextErrorsLogNotSaved, "Kan errors.log niet opslaan"},
    {TextTryWritableDrive, "Probeer te installeren vanaf een station zonder schrijfbeveiliging."},
    {TextAlreadyRunning,
     "In deze map wordt al een ander installatieprogramma uitgevoerd. Dit installeert niets; "
     "wacht tot het andere klaar is."},
    {TextCaption, "Tallybox-installatieprogramma"},
    {TextErrorCaption, "%1: fout"},
    {TextSeeLogs,
     "\n\nLees a.u.b. de errors.log- en jinstall.log-bestanden voor meer informatie over dit "
     "probleem."},
    {TextMainClassMissing, "De hoofdklasse %1 van de installatiewizard is niet gevonden."},
    {TextWizardArchiveMissing, "Het archief %1 van de installatiewizard ontbreekt."},
    {TextWizardEndedWithoutStarting, "De installatiewizard is gestopt zonder te starten."},
    {TextDownloadFailed, "De Java-runtime kon niet worden gedownload."},
    {TextDownloadAddress, "Het downloadadres is %1."},
    {TextPackageFaulty, "Het pakket is defect: %1"},
    {TextDownloading, "De Java-runtime wordt gedownload..."},
    {TextExpanding, "De Java-runtime wordt uitgepakt..."},
    {TextProgressOf, "%1 van %2"},
    {TextProvidedJvmRefused, "De geleverde Java-runtime meldt versie %1, maar deze installatie heeft %2 nodig."},
    {TextJvmHomeMissing, "De map %1 van de Java-runtime zit niet in wat geleverd is; daarin zit %2."},
    {TextJvmFolderInTheWay, "De map %1 staat de Java-runtime in de weg: er staat %2 in, dat het installatieprogramma er niet heeft neergezet."},
    {TextExpansionFailed, "De Java-runtime is gedownload, maar kon niet worden uitgepakt."},
    {TextElevationDeclined, "%1 heeft beheerdersrechten nodig om de Java-runtime te installeren, en die zijn niet gegeven."},
    {TextUnpacking, "Voorbereiden Wizard..."},
    {TextLookingForJvm, "Zoeken naar een geïnstalleerde Java-runtime..."},
    {TextCheckingJvm, "Java-runtime %1 van %2 controleren..."},
    {TextInstallingJvm, "De Java-runtime wordt geïnstalleerd..."},
    {TextStartingWizard, "De installatiewizard wordt gestart..."},
    {TextRenamedTo, "Hernoemd naar"},
};

const Language Dutch = {"dutch", "Dutch found", "nl", Aliases, 0};
const LanguageSource DutchSource = {Texts, sizeof Texts / sizeof Texts[0]};
