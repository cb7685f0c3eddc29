// Portuguese (as in Brazil): the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

// Stands where the stored aliases hold a replacement character.
#define R "\xEF\xBF\xBD"
static const char* const Aliases[] = {"portuguese-brasilian", "ptb", "ptg",
                                                "portugu" R "ses", nullptr};
#undef R

static const UserPattern Texts[] = {
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
    {TextRenamedTo, "Nome modificado Para"},
};

const Language Portuguese = {"portuguese", "Portuguese found", "pt", Aliases, 0};
const LanguageSource PortugueseSource = {Texts, sizeof Texts / sizeof Texts[0]};
