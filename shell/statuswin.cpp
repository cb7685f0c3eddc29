// The status dialog and the launcher's messages to the user.
//
// The dialog is modeless and belongs to the main thread; it shows one line
// of text in the user's language for the whole run. Message boxes are shown
// from the worker thread without an owner: before one appears the worker
// deletes "__kivshow.sem", which tells the main thread to let the dialog go.
#include "shell/statuswin.h"
#include "shell/language.h"
#include "base/strbuf.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char MessageCaption[] = "Tallybox Installer";
static const char ErrorCaption[] = "Tallybox Installer: Error";

HINSTANCE hInst = nullptr;
HWND hDlgMain = nullptr;
const char WaitInstallFilename[] = "__kivinstall.sem";
const char ShowDialogFilename[] = "__kivshow.sem";
char waitInstallPath[SemaphorePathSize] = "";
char showDialogPath[SemaphorePathSize] = "";
int postedQuit = 0;

// "\xEF\xBF\xBD" stands where the stored texts hold a replacement character
// for an accented letter.
#define R "\xEF\xBF\xBD"

struct LanguageText {
    const char* language;
    const char* text;
};

static const LanguageText InitialTexts[] = {
    {"french", "Pr" R "paration Wizard..."},
    {"german", "Bereite Wizard.."},
    {"spanish", "Preparando wizard..."},
    {"polish", "Inicjalizacja Wizard..."},
    {"italian", "Preparazione Wizard..."},
    {"portuguese", "Preparando Wizard..."},
    {"japanese", "\rPreparing wizard..."},
    {"dutch", "Voorbereiden Wizard..."},
};
static const char EnglishInitialText[] = "Unpacking the installer...";

static const LanguageText ErrorSuffixes[] = {
    {"french",
     "\n\nVeuillez examiner les fichiers errors.log et jinstall.log pour plus de d" R
     "tails sur l'erreur."},
    {"german",
     "\n\nBitte " R "berpr" R "fen Sie die Dateien errors.log und jinstall.log f" R
     "r n" R "here Angaben zu diesem Problem."},
    {"spanish", "\n\nRevise por favor errors.log y jinstall.log para m" R
                "s detalles acerca del error."},
    {"polish", "\n\nW celu uzyskania dok" R "adnej informacji o b" R R "dach prosz" R
               " przejrze" R " pliki errors.log i jinstall.log files."},
    {"italian",
     "\n\nPrego, controlla i file errors.log and jinstall.log per maggiori dettagli sull'error."},
    {"portuguese", "\n\nPor favor, verifique os arquivos errors.log e jinstall.log para maiores "
                   "detalhes a respeito do erro."},
    {"japanese",
     "\n\nPlease review the errors.log and jinstall.log files for more details about the error."},
    {"dutch", "\n\nLees a.u.b. de errors.log- en jinstall.log-bestanden voor meer informatie over "
              "dit probleem."},
};
static const char EnglishErrorSuffix[] = "\n\nSee errors.log and jinstall.log files for details.";

#undef R

static const char* lookUp(const LanguageText* table, size_t count, const char* language,
                          const char* english) {
    if (!language) return english;
    for (size_t i = 0; i < count; ++i)
        if (strcmp(table[i].language, language) == 0) return table[i].text;
    return english;
}

const char* initialStatusText(const char* language) {
    return lookUp(InitialTexts, dimof(InitialTexts), language, EnglishInitialText);
}

const char* errorLogSuffix(const char* language) {
    return lookUp(ErrorSuffixes, dimof(ErrorSuffixes), language, EnglishErrorSuffix);
}

char* composeErrorText(const char* message, const char* details, const char* language) {
    if (!message) message = "";
    bool withDetails = details && *details;
    const char* second = withDetails ? details : errorLogSuffix(language);
    size_t size = strlen(message) + strlen(second) + 3;
    char* text = (char*)malloc(size);
    if (!text) return nullptr;
    if (withDetails)
        formatText(text, size, "%s\r\r%s", message, second);
    else
        formatText(text, size, "%s%s", message, second);
    return text;
}

Status::Status()
    : maxPercentage(100), quietMode(false), language((char*)calloc(LanguageSize, 1)) {
    if (language) getLanguage(language);
}

Status::~Status() { free(language); }

void Status::showStatus(const char*) {}

void Status::showStatus(unsigned) {}

void Status::showMessage(const char* text) {
    remove(showDialogPath);
    MessageBoxA(nullptr, text, MessageCaption, MB_ICONEXCLAMATION);
}

void Status::showError(const char* message, const char* details) {
    if (quietMode) return;
    char* text = composeErrorText(message, details, language ? language : "english");
    remove(showDialogPath);
    MessageBoxA(nullptr, text ? text : message, ErrorCaption, MB_ICONHAND | MB_SYSTEMMODAL);
    free(text);
}

void getMessage(HWND dialog, unsigned controlId, char* text) {
    char language[LanguageSize];
    getLanguage(language);
    selectControlIdCharType(dialog, controlId, language);
    copyText(text, StatusTextSize, initialStatusText(language));
}

// Centres the window on the screen, grown by the dialog frame.
static void centre(HWND window, int width, int height) {
    if (!window) return;
    int frameX = GetSystemMetrics(SM_CXDLGFRAME);
    int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    int screenX = GetSystemMetrics(SM_CXFULLSCREEN);
    int screenY = GetSystemMetrics(SM_CYFULLSCREEN);
    SetWindowPos(window, nullptr, (screenX - width) / 2, (screenY - height) / 2,
                 width + 2 * frameX, height + 2 * frameY, SWP_NOZORDER);
}

INT_PTR CALLBACK StatusDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT rect;
        GetWindowRect(dialog, &rect);
        int width = rect.right - rect.left;
        int height = rect.bottom - rect.top;
        centre(GetParent(dialog), width, height);
        centre(dialog, width, height);
        return TRUE;
    }
    case WM_COMMAND:
        if (wParam == IDCANCEL) {
            PostMessageA(GetParent(dialog), WM_DESTROY, 0, 0);
            DestroyWindow(dialog);
            hDlgMain = nullptr;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        hDlgMain = nullptr;
        return FALSE;
    case WM_DESTROY:
        return TRUE;
    default:
        return FALSE;
    }
}
