// Italian: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

static const char* const Aliases[] = {"italian-swiss", "ita", "its", nullptr};

static const UserPattern Texts[] = {
    {TextDiskSpace,
     "Le directory di destinazione o temporanee hanno esaurito lo spazio su disco?\r\r"
     "    Per altre possibili cause vedere errors.log."},
    {TextOtherCauses,
     "Altre possibili cause degli errori:\n"
     "    * Diritti di lettura e scrittura sulla directory «temp» e su quella di "
     "installazione?\n"
     "    * Il sistema operativo deve essere aggiornato per eseguire applicazioni Java?\n"
     "    * Un antivirus installato impedisce l'esecuzione di programmi o file JAR "
     "sconosciuti?\n"
     "    * Il sistema esporta il display?"},
    {TextWizardNotStarted,
     "Impossibile avviare la procedura guidata di installazione.\r\rNel percorso (PATH) c'è un "
     "comando «java» che non avvia il JRE?\r\rIn tal caso, rimuoverlo e avviare di nuovo "
     "l'installazione."},
    {TextUnableToInstall, "Impossibile installare l'applicazione."},
    {TextJvmNotFound, "La versione corretta di %1 non è stata trovata nel sistema."},
    {TextInstallJvmAndRestart,
     "Installare %1 %2 e poi riavviare questo programma di installazione."},
    {TextUnableToFindJvm, "Impossibile trovare %1 %2 nel sistema."},
    {TextInstallTheJvm, "Installare la JVM e riavviare questo programma di installazione."},
    {TextUnableToInstallJvm, "Impossibile installare %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 o una versione successiva"},
    {TextControlFileNotOpened, "Impossibile aprire kiv.control"},
    {TextControlFileNotOpenedForReading, "Impossibile aprire il file di controllo"},
    {TextControlFileNotRead, "Impossibile leggere kiv.control"},
    {TextErrorsLogNotSaved, "Impossibile salvare errors.log"},
    {TextTryWritableDrive, "Provare a installare da un'unità non protetta da scrittura."},
    {TextAlreadyRunning,
     "In questa directory è già in esecuzione un altro programma di installazione. Questo non "
     "installa nulla; attendere che l'altro abbia terminato."},
    {TextCaption, "Programma di installazione di Tallybox"},
    {TextErrorCaption, "%1: errore"},
    {TextSeeLogs,
     "\n\nPrego, controlla i file errors.log e jinstall.log per maggiori dettagli "
     "sull'errore."},
    {TextMainClassMissing,
     "La classe principale %1 della procedura guidata di installazione non è stata trovata."},
    {TextWizardArchiveMissing,
     "L'archivio %1 della procedura guidata di installazione è mancante."},
    {TextWizardEndedWithoutStarting,
     "La procedura guidata di installazione è terminata senza avviarsi."},
    {TextDownloadFailed, "Impossibile scaricare l'ambiente di runtime Java."},
    {TextDownloadAddress, "L'indirizzo di download è %1."},
    {TextPackageFaulty, "Il pacchetto è difettoso: %1"},
    {TextDownloading, "Download del runtime Java..."},
    {TextExpanding, "Estrazione del runtime Java..."},
    {TextProgressOf, "%1 di %2"},
    {TextProvidedJvmRefused, "L'ambiente di runtime Java fornito indica la versione %1, ma questa installazione richiede %2."},
    {TextJvmHomeMissing, "La cartella %1 dell'ambiente di runtime Java non si trova in ciò che è stato fornito, che contiene %2."},
    {TextJvmFolderInTheWay, "La cartella %1 impedisce l'installazione dell'ambiente di runtime Java: contiene %2, che il programma di installazione non vi ha messo."},
    {TextExpansionFailed, "L'ambiente di runtime Java è stato scaricato ma non è stato possibile decomprimerlo."},
    {TextElevationDeclined, "%1 ha bisogno dei diritti di amministratore per installare l'ambiente di runtime Java, che non sono stati concessi."},
    {TextUnpacking, "Preparazione Wizard..."},
    {TextLookingForJvm, "Ricerca di un ambiente di esecuzione Java installato..."},
    {TextCheckingJvm, "Verifica dell'ambiente Java %1 di %2..."},
    {TextInstallingJvm, "Installazione dell'ambiente di esecuzione Java..."},
    {TextStartingWizard, "Avvio della procedura guidata di installazione..."},
    {TextRenamedTo, "Rinominato a"},
};

const Language Italian = {"italian", "Italian found", "it", Aliases, 0};
const LanguageSource ItalianSource = {Texts, sizeof Texts / sizeof Texts[0]};
