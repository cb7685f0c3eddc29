// The patterns of the texts for the user in French, German, Spanish, Polish,
// Japanese, Italian, Portuguese (as in Brazil) and Dutch. They are UTF-8 and
// reach the windows as UTF-16, so that their letters show whatever the
// system's ANSI code page is. A pattern keeps the line breaks of its English
// one and the same placeholders.
#include "shell/usertexts.h"
#include "base/codepage.h"
#include "base/strbuf.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

const char* const TranslatedLanguages[TranslatedLanguageCount] = {
    "french", "german", "spanish", "polish", "japanese", "italian", "portuguese", "dutch"};

namespace {

struct Pattern {
    UserText name;
    const char* text;
};

const Pattern French[] = {
    {TextDiskSpace,
     "Les répertoires de destination ou temporaires manquent-ils d'espace disque ?\r\r"
     "    Consultez errors.log pour d'autres causes possibles."},
    {TextOtherCauses,
     "Autres causes possibles des erreurs :\n"
     "    * Droits de lecture et d'écriture sur le répertoire « temp » et sur celui "
     "d'installation ?\n"
     "    * Le système doit-il être mis à jour pour exécuter des applications Java ?\n"
     "    * Un antivirus installé empêche-t-il l'exécution de programmes ou de fichiers JAR "
     "inconnus ?\n"
     "    * Votre système exporte-t-il l'affichage ?"},
    {TextWizardNotStarted,
     "Impossible de démarrer l'assistant d'installation.\r\rY a-t-il dans le chemin (PATH) une "
     "commande « java » qui ne démarre pas le JRE ?\r\rSi c'est le cas, supprimez-la et "
     "relancez l'installation."},
    {TextUnableToInstall, "Impossible d'installer l'application."},
    {TextJvmNotFound, "La bonne version de %1 est introuvable sur votre système."},
    {TextInstallJvmAndRestart,
     "Veuillez installer %1 %2, puis relancer ce programme d'installation."},
    {TextUnableToFindJvm, "%1 %2 est introuvable sur votre système."},
    {TextInstallTheJvm, "Veuillez installer la JVM, puis relancer ce programme d'installation."},
    {TextUnableToInstallJvm, "Impossible d'installer %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 ou une version ultérieure"},
    {TextControlFileNotOpened, "Impossible d'ouvrir kiv.control"},
    {TextControlFileNotOpenedForReading, "Impossible d'ouvrir le fichier de contrôle"},
    {TextControlFileNotRead, "Impossible de lire kiv.control"},
    {TextErrorsLogNotSaved, "Impossible d'enregistrer errors.log"},
    {TextTryWritableDrive, "Essayez d'installer depuis un lecteur non protégé en écriture."},
    {TextAlreadyRunning,
     "Un autre programme d'installation est déjà en cours dans ce répertoire. Celui-ci "
     "n'installe rien ; attendez que l'autre ait terminé."},
    {TextCaption, "Programme d'installation Tallybox"},
    {TextErrorCaption, "%1 : erreur"},
    {TextSeeLogs,
     "\n\nVeuillez examiner les fichiers errors.log et jinstall.log pour plus de détails sur "
     "l'erreur."},
    {TextMainClassMissing,
     "La classe principale %1 de l'assistant d'installation est introuvable."},
    {TextWizardArchiveMissing, "L'archive %1 de l'assistant d'installation est manquante."},
    {TextWizardEndedWithoutStarting, "L'assistant d'installation s'est arrêté sans démarrer."},
    {TextDownloadFailed, "L'environnement d'exécution Java n'a pas pu être téléchargé."},
    {TextDownloadAddress, "L'adresse de téléchargement est %1."},
    {TextPackageFaulty, "Le paquet est défectueux : %1"},
    {TextDownloading, "Téléchargement du runtime Java..."},
    {TextExpanding, "Décompression du runtime Java..."},
    {TextProgressOf, "%1 sur %2"},
    {TextProvidedJvmRefused, "L'environnement d'exécution Java fourni indique la version %1, mais cette installation nécessite %2."},
    {TextJvmHomeMissing, "Le dossier %1 de l'environnement d'exécution Java ne se trouve pas dans ce qui a été fourni, qui contient %2."},
    {TextJvmFolderInTheWay, "Le dossier %1 empêche l'installation de l'environnement d'exécution Java : il contient %2, que le programme d'installation n'y a pas mis."},
    {TextExpansionFailed, "L'environnement d'exécution Java a été téléchargé mais n'a pas pu être décompressé."},
    {TextElevationDeclined, "%1 a besoin des droits d'administrateur pour installer l'environnement d'exécution Java, et ils n'ont pas été accordés."},
    {TextUnpacking, "Préparation Wizard..."},
    {TextLookingForJvm, "Recherche d'un environnement d'exécution Java installé..."},
    {TextCheckingJvm, "Vérification de l'environnement Java %1 sur %2..."},
    {TextInstallingJvm, "Installation de l'environnement d'exécution Java..."},
    {TextStartingWizard, "Démarrage de l'assistant d'installation..."},
};

const Pattern German[] = {
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
};

const Pattern Spanish[] = {
    {TextDiskSpace,
     "¿Se han quedado sin espacio en disco los directorios de destino o temporales?\r\r"
     "    Consulte errors.log para ver otras posibles causas."},
    {TextOtherCauses,
     "Otras posibles causas de los errores:\n"
     "    * ¿Permisos de lectura y escritura en el directorio «temp» y en el de instalación?\n"
     "    * ¿Necesita el sistema operativo actualizaciones para ejecutar aplicaciones Java?\n"
     "    * ¿Hay un antivirus instalado que no permite ejecutar programas o archivos JAR "
     "desconocidos?\n"
     "    * ¿Exporta su sistema la pantalla?"},
    {TextWizardNotStarted,
     "No se pudo iniciar el asistente de instalación.\r\r¿Hay en la ruta (PATH) un comando "
     "«java» que no inicia el JRE?\r\rSi lo hay, elimínelo y vuelva a ejecutar el instalador."},
    {TextUnableToInstall, "No se pudo instalar la aplicación."},
    {TextJvmNotFound, "No se encontró la versión correcta de %1 en su sistema."},
    {TextInstallJvmAndRestart, "Instale %1 %2 y vuelva a iniciar este programa de instalación."},
    {TextUnableToFindJvm, "No se encontró %1 %2 en su sistema."},
    {TextInstallTheJvm, "Instale la JVM y vuelva a iniciar este instalador."},
    {TextUnableToInstallJvm, "No se pudo instalar %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 o una versión posterior"},
    {TextControlFileNotOpened, "No se puede abrir kiv.control"},
    {TextControlFileNotOpenedForReading, "No se puede abrir el archivo de control"},
    {TextControlFileNotRead, "No se puede leer kiv.control"},
    {TextErrorsLogNotSaved, "No se puede guardar errors.log"},
    {TextTryWritableDrive, "Intente instalar desde una unidad sin protección contra escritura."},
    {TextAlreadyRunning,
     "Ya hay otro instalador en ejecución en este directorio. Este no instala nada; espere a "
     "que el otro termine."},
    {TextCaption, "Instalador de Tallybox"},
    {TextErrorCaption, "%1: error"},
    {TextSeeLogs,
     "\n\nRevise por favor errors.log y jinstall.log para más detalles acerca del error."},
    {TextMainClassMissing,
     "No se encontró la clase principal %1 del asistente de instalación."},
    {TextWizardArchiveMissing, "Falta el archivo %1 del asistente de instalación."},
    {TextWizardEndedWithoutStarting, "El asistente de instalación terminó sin iniciarse."},
    {TextDownloadFailed, "No se pudo descargar el entorno de ejecución de Java."},
    {TextDownloadAddress, "La dirección de descarga es %1."},
    {TextPackageFaulty, "El paquete es defectuoso: %1"},
    {TextDownloading, "Descargando el runtime de Java..."},
    {TextExpanding, "Descomprimiendo el runtime de Java..."},
    {TextProgressOf, "%1 de %2"},
    {TextProvidedJvmRefused, "El entorno de ejecución de Java proporcionado indica la versión %1, pero esta instalación necesita %2."},
    {TextJvmHomeMissing, "La carpeta %1 del entorno de ejecución de Java no está en lo que se proporcionó, que contiene %2."},
    {TextJvmFolderInTheWay, "La carpeta %1 impide instalar el entorno de ejecución de Java: contiene %2, que el instalador no puso allí."},
    {TextExpansionFailed, "El entorno de ejecución de Java se descargó, pero no se pudo descomprimir."},
    {TextElevationDeclined, "%1 necesita derechos de administrador para instalar el entorno de ejecución de Java, y no se concedieron."},
    {TextUnpacking, "Preparando wizard..."},
    {TextLookingForJvm, "Buscando un entorno de ejecución de Java instalado..."},
    {TextCheckingJvm, "Comprobando el entorno de Java %1 de %2..."},
    {TextInstallingJvm, "Instalando el entorno de ejecución de Java..."},
    {TextStartingWizard, "Iniciando el asistente de instalación..."},
};

const Pattern Polish[] = {
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
};

const Pattern Japanese[] = {
    {TextDiskSpace,
     "インストール先または一時ディレクトリのディスク容量が不足していませんか?\r\r"
     "    その他の考えられる原因については errors.log を参照してください。"},
    {TextOtherCauses,
     "その他の考えられるエラーの原因:\n"
     "    * 「temp」ディレクトリとインストール先ディレクトリへの読み取り/書き込み権限はありますか?\n"
     "    * Java アプリケーションを実行するために OS の更新が必要ではありませんか?\n"
     "    * 不明な実行ファイルや JAR ファイルの実行を許可しないウイルス対策ソフトウェアが"
     "インストールされていませんか?\n"
     "    * システムがディスプレイをエクスポートしていますか?"},
    {TextWizardNotStarted,
     "インストール ウィザードを開始できません。\r\rPATH に JRE を起動しない「java」コマンドが"
     "ありませんか?\r\rある場合は、それを削除してからもう一度インストーラーを実行してください。"},
    {TextUnableToInstall, "アプリケーションをインストールできません。"},
    {TextJvmNotFound, "正しいバージョンの %1 がシステムに見つかりませんでした。"},
    {TextInstallJvmAndRestart,
     "%1 %2 をインストールしてから、このインストール プログラムを再起動してください。"},
    {TextUnableToFindJvm, "%1 %2 がシステムに見つかりません。"},
    {TextInstallTheJvm, "JVM をインストールしてから、このインストーラーを再起動してください。"},
    {TextUnableToInstallJvm, "%1 %2 をインストールできません。"},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 以降のバージョン"},
    {TextControlFileNotOpened, "kiv.control を開けません"},
    {TextControlFileNotOpenedForReading, "制御ファイルを開けません"},
    {TextControlFileNotRead, "kiv.control を読み取れません"},
    {TextErrorsLogNotSaved, "errors.log を保存できません"},
    {TextTryWritableDrive, "書き込み保護されていないドライブからインストールしてください。"},
    {TextAlreadyRunning,
     "このディレクトリでは別のインストーラーが既に実行中です。このインストーラーは何も"
     "インストールしません。もう一方が終了するまでお待ちください。"},
    {TextCaption, "Tallybox インストーラー"},
    {TextErrorCaption, "%1: エラー"},
    {TextSeeLogs,
     "\n\nエラーの詳細については、errors.log と jinstall.log ファイルを確認してください。"},
    {TextMainClassMissing, "インストール ウィザードのメイン クラス %1 が見つかりませんでした。"},
    {TextWizardArchiveMissing, "インストール ウィザードのアーカイブ %1 がありません。"},
    {TextWizardEndedWithoutStarting, "インストール ウィザードは開始せずに終了しました。"},
    {TextDownloadFailed, "Java ランタイムをダウンロードできませんでした。"},
    {TextDownloadAddress, "ダウンロード元: %1"},
    {TextPackageFaulty, "パッケージに問題があります: %1"},
    {TextDownloading, "Java をダウンロード中..."},
    {TextExpanding, "Java を展開中..."},
    {TextProgressOf, "%1 / %2"},
    {TextProvidedJvmRefused, "提供された Java ランタイムのバージョンは %1 ですが、このインストールには %2 が必要です。"},
    {TextJvmHomeMissing, "Java ランタイムのフォルダー %1 が提供されたものの中にありません。含まれているのは %2 です。"},
    {TextJvmFolderInTheWay, "フォルダー %1 があるため Java ランタイムを配置できません。インストーラーが置いたものではない %2 が含まれています。"},
    {TextExpansionFailed, "Java ランタイムはダウンロードされましたが、展開できませんでした。"},
    {TextElevationDeclined, "%1 が Java ランタイムをインストールするには管理者権限が必要ですが、許可されませんでした。"},
    {TextUnpacking, "インストーラーを展開中..."},
    {TextLookingForJvm, "インストール済みの Java ランタイムを検索中..."},
    {TextCheckingJvm, "Java ランタイムを確認中 (%1 / %2)..."},
    {TextInstallingJvm, "Java ランタイムをインストール中..."},
    {TextStartingWizard, "インストール ウィザードを開始中..."},
};

const Pattern Italian[] = {
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
};

const Pattern Portuguese[] = {
    {TextDiskSpace,
     "Os diretórios de destino ou temporários estão sem espaço em disco?\r\r"
     "    Veja errors.log para outras causas possíveis."},
    {TextOtherCauses,
     "Outras causas possíveis de erros:\n"
     "    * Direitos de leitura e gravação no diretório “temp” e no de instalação?\n"
     "    * O sistema operacional precisa de atualizações para executar aplicativos Java?\n"
     "    * Há um antivírus instalado que não permite executar programas ou arquivos JAR "
     "desconhecidos?\n"
     "    * O seu sistema exporta a exibição?"},
    {TextWizardNotStarted,
     "Não foi possível iniciar o assistente de instalação.\r\rHá no caminho (PATH) um comando "
     "“java” que não inicia o JRE?\r\rSe houver, remova-o e execute o instalador novamente."},
    {TextUnableToInstall, "Não foi possível instalar o aplicativo."},
    {TextJvmNotFound, "A versão correta de %1 não foi encontrada no seu sistema."},
    {TextInstallJvmAndRestart, "Instale %1 %2 e depois reinicie este programa de instalação."},
    {TextUnableToFindJvm, "Não foi possível encontrar %1 %2 no seu sistema."},
    {TextInstallTheJvm, "Instale a JVM e reinicie este instalador."},
    {TextUnableToInstallJvm, "Não foi possível instalar %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 ou uma versão posterior"},
    {TextControlFileNotOpened, "Não foi possível abrir kiv.control"},
    {TextControlFileNotOpenedForReading, "Não foi possível abrir o arquivo de controle"},
    {TextControlFileNotRead, "Não foi possível ler kiv.control"},
    {TextErrorsLogNotSaved, "Não foi possível salvar errors.log"},
    {TextTryWritableDrive, "Tente instalar a partir de uma unidade sem proteção contra gravação."},
    {TextAlreadyRunning,
     "Outro instalador já está em execução neste diretório. Este não instala nada; aguarde até "
     "que o outro termine."},
    {TextCaption, "Instalador do Tallybox"},
    {TextErrorCaption, "%1: erro"},
    {TextSeeLogs,
     "\n\nPor favor, verifique os arquivos errors.log e jinstall.log para maiores detalhes a "
     "respeito do erro."},
    {TextMainClassMissing,
     "A classe principal %1 do assistente de instalação não foi encontrada."},
    {TextWizardArchiveMissing, "O arquivo %1 do assistente de instalação está faltando."},
    {TextWizardEndedWithoutStarting, "O assistente de instalação terminou sem iniciar."},
    {TextDownloadFailed, "Não foi possível baixar o ambiente de execução Java."},
    {TextDownloadAddress, "O endereço de download é %1."},
    {TextPackageFaulty, "O pacote está com defeito: %1"},
    {TextDownloading, "Baixando o ambiente Java..."},
    {TextExpanding, "Descompactando o ambiente Java..."},
    {TextProgressOf, "%1 de %2"},
    {TextProvidedJvmRefused, "O ambiente de execução Java fornecido informa a versão %1, mas esta instalação precisa de %2."},
    {TextJvmHomeMissing, "A pasta %1 do ambiente de execução Java não está no que foi fornecido, que contém %2."},
    {TextJvmFolderInTheWay, "A pasta %1 impede a instalação do ambiente de execução Java: ela contém %2, que o instalador não colocou lá."},
    {TextExpansionFailed, "O ambiente de execução Java foi baixado, mas não pôde ser descompactado."},
    {TextElevationDeclined, "%1 precisa de direitos de administrador para instalar o ambiente de execução Java, e eles não foram concedidos."},
    {TextUnpacking, "Preparando Wizard..."},
    {TextLookingForJvm, "Procurando um Java runtime instalado..."},
    {TextCheckingJvm, "Verificando o Java runtime %1 de %2..."},
    {TextInstallingJvm, "Instalando o Java runtime..."},
    {TextStartingWizard, "Iniciando o assistente de instalação..."},
};

const Pattern Dutch[] = {
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
};

struct Language {
    const Pattern* patterns;
    size_t count;
};

#define LANGUAGE(table) {table, sizeof table / sizeof table[0]}
// In the order of TranslatedLanguages.
const Language Languages[TranslatedLanguageCount] = {
    LANGUAGE(French),  LANGUAGE(German),     LANGUAGE(Spanish), LANGUAGE(Polish),
    LANGUAGE(Japanese), LANGUAGE(Italian), LANGUAGE(Portuguese), LANGUAGE(Dutch),
};

// A program text (ANSI code page) as UTF-8, allocated with malloc.
char* utf8FromProgram(const char* text) {
    wchar_t* wide = widen(text ? text : "", CP_ACP);
    if (!wide) return nullptr;
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = size > 0 ? (char*)malloc((size_t)size) : nullptr;
    if (utf8 && !WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, size, nullptr, nullptr))
        utf8[0] = '\0';
    free(wide);
    return utf8;
}

// The pattern with its values (UTF-8), allocated to hold it whole (null
// when out of memory).
char* filledText(const char* pattern, char* const* values) {
    size_t size = strlen(pattern) + 1;
    for (const char* c = pattern; *c; ++c)
        if (c[0] == '%' && (c[1] == '1' || c[1] == '2')) size += strlen(values[c[1] - '1']);
    char* text = (char*)malloc(size);
    if (text) fillPattern(text, size, pattern, values, 2);
    return text;
}

// The text of name in language with the program's values (ANSI code page),
// UTF-8, allocated with malloc (null when out of memory).
char* userTextUtf8(UserText name, const char* language, const char* first, const char* second) {
    char* values[] = {utf8FromProgram(first), utf8FromProgram(second)};
    char* text = values[0] && values[1] ? filledText(userPattern(name, language), values) : nullptr;
    free(values[0]);
    free(values[1]);
    return text;
}

// A value of a part in language, UTF-8 (malloc'd; null when out of memory).
char* valueUtf8(const UserLines::Value& value, const char* language) {
    if (value.name == UserTextCount) return utf8FromProgram(value.text);
    return userTextUtf8(value.name, language, value.text, value.second);
}

// A UTF-8 text as UTF-16 (malloc'd; null when out of memory); text is freed.
wchar_t* wideAndFreed(char* text) {
    wchar_t* wide = text ? widen(text, CP_UTF8) : nullptr;
    free(text);
    return wide;
}

}  // namespace

const char* translatedPattern(UserText name, const char* language) {
    if (!language) return nullptr;
    for (size_t i = 0; i < TranslatedLanguageCount; ++i) {
        if (strcmp(TranslatedLanguages[i], language) != 0) continue;
        for (size_t j = 0; j < Languages[i].count; ++j)
            if (Languages[i].patterns[j].name == name) return Languages[i].patterns[j].text;
    }
    return nullptr;
}

const char* userPattern(UserText name, const char* language) {
    const char* pattern = translatedPattern(name, language);
    return pattern ? pattern : englishPattern(name);
}

bool userText(char* out, size_t cap, UserText name, const char* language, const char* first,
              const char* second) {
    const char* const values[] = {first, second};
    return fillPattern(out, cap, userPattern(name, language), values, 2);
}

wchar_t* userTextForWindow(UserText name, const char* language, const char* first,
                           const char* second) {
    return wideAndFreed(userTextUtf8(name, language, first, second));
}

wchar_t* partForWindow(const UserLines::Part& part, const char* language) {
    char* values[] = {valueUtf8(part.values[0], language), valueUtf8(part.values[1], language)};
    char* text = values[0] && values[1] ? filledText(userPattern(part.name, language), values)
                                        : nullptr;
    free(values[0]);
    free(values[1]);
    return wideAndFreed(text);
}
