// French: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

static const char* const Aliases[] = {
    "french-belgian", "frc", "french-canadian", "fra", "frb", "french-swiss", "frs", nullptr};

static const UserPattern Texts[] = {
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
    {TextRenamedTo, "Renommé en"},
};

const Language French = {"french", "French found", "fr", Aliases, 0};
const LanguageSource FrenchSource = {Texts, sizeof Texts / sizeof Texts[0]};
