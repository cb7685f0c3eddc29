// Spanish: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

static const char* const Aliases[] = {
    "esp", "esm", "spanish-mexican", "esn", "spanish-modern", "spagnoli", "spanisch", nullptr};

static const UserPattern Texts[] = {
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
    {TextRenamedTo, "Reagrupado  a"},
};

const Language Spanish = {"spanish", "Spanish found", "es", Aliases, 0};
const LanguageSource SpanishSource = {Texts, sizeof Texts / sizeof Texts[0]};
