// Polish: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

static const char* const Aliases[] = {"plk", nullptr};

static const UserPattern Texts[] = {
    {TextDiskSpace,
     "Czy w katalogu docelowym lub tymczasowym zabrakło miejsca na dysku?\r\r"
     "    Inne możliwe przyczyny podaje plik errors.log."},
    {TextOtherCauses,
     "Inne możliwe przyczyny błędów:\n"
     "    * Prawa odczytu i zapisu do katalogu „temp” i katalogu instalacji?\n"
     "    * Czy system operacyjny wymaga aktualizacji, aby uruchamiać aplikacje Java?\n"
     "    * Czy zainstalowany program antywirusowy blokuje uruchamianie nieznanych programów "
     "lub plików JAR?\n"
     "    * Czy system eksportuje ekran?"},
    {TextWizardNotStarted,
     "Nie można uruchomić kreatora instalacji.\r\rCzy w ścieżce (PATH) jest polecenie „java”, "
     "które nie uruchamia środowiska JRE?\r\rJeśli tak, usuń je i ponownie uruchom "
     "instalator."},
    {TextUnableToInstall, "Nie można zainstalować aplikacji."},
    {TextJvmNotFound, "Nie znaleziono w systemie właściwej wersji %1."},
    {TextInstallJvmAndRestart,
     "Zainstaluj %1 %2, a następnie ponownie uruchom ten program instalacyjny."},
    {TextUnableToFindJvm, "Nie znaleziono w systemie %1 %2."},
    {TextInstallTheJvm, "Zainstaluj maszynę JVM i ponownie uruchom ten instalator."},
    {TextUnableToInstallJvm, "Nie można zainstalować %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 lub nowsza wersja"},
    {TextControlFileNotOpened, "Nie można otworzyć pliku kiv.control"},
    {TextControlFileNotOpenedForReading, "Nie można otworzyć pliku sterującego"},
    {TextControlFileNotRead, "Nie można odczytać pliku kiv.control"},
    {TextErrorsLogNotSaved, "Nie można zapisać pliku errors.log"},
    {TextTryWritableDrive, "Spróbuj zainstalować z dysku, który nie jest chroniony przed zapisem."},
    {TextAlreadyRunning,
     "W tym katalogu działa już inny instalator. Ten niczego nie instaluje; zaczekaj, aż "
     "tamten zakończy pracę."},
    {TextCaption, "Instalator Tallybox"},
    {TextErrorCaption, "%1: błąd"},
    {TextSeeLogs,
     "\n\nW celu uzyskania dokładnej informacji o błędach proszę przejrzeć pliki errors.log i "
     "jinstall.log."},
    {TextMainClassMissing, "Nie znaleziono klasy głównej %1 kreatora instalacji."},
    {TextWizardArchiveMissing, "Brak archiwum %1 kreatora instalacji."},
    {TextWizardEndedWithoutStarting, "Kreator instalacji zakończył działanie, zanim się uruchomił."},
    {TextDownloadFailed, "Nie można pobrać środowiska uruchomieniowego Java."},
    {TextDownloadAddress, "Adres pobierania: %1."},
    {TextPackageFaulty, "Pakiet jest wadliwy: %1"},
    {TextDownloading, "Pobieranie środowiska Java..."},
    {TextExpanding, "Rozpakowywanie środowiska Java..."},
    {TextProgressOf, "%1 z %2"},
    {TextProvidedJvmRefused, "Dostarczone środowisko uruchomieniowe Java zgłasza wersję %1, a ta instalacja wymaga %2."},
    {TextJvmHomeMissing, "Folderu %1 środowiska uruchomieniowego Java nie ma w tym, co dostarczono; jest tam %2."},
    {TextJvmFolderInTheWay, "Folder %1 blokuje instalację środowiska uruchomieniowego Java: zawiera %2, czego nie umieścił tam instalator."},
    {TextExpansionFailed, "Środowisko uruchomieniowe Java zostało pobrane, ale nie można go rozpakować."},
    {TextElevationDeclined, "%1 potrzebuje uprawnień administratora do zainstalowania środowiska uruchomieniowego Java, a nie zostały one przyznane."},
    {TextUnpacking, "Inicjalizacja Wizard..."},
    {TextLookingForJvm, "Wyszukiwanie zainstalowanego środowiska Java..."},
    {TextCheckingJvm, "Sprawdzanie środowiska Java %1 z %2..."},
    {TextInstallingJvm, "Instalowanie środowiska Java..."},
    {TextStartingWizard, "Uruchamianie kreatora instalacji..."},
    {TextRenamedTo, "Zmieniono na"},
};

const Language Polish = {"polish", "Polish found", "pl", Aliases, 0};
const LanguageSource PolishSource = {Texts, sizeof Texts / sizeof Texts[0]};
