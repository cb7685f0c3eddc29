// The status dialog, the initial status text in the user's language, the
// error box, and Status, the base through which the working classes show
// message boxes to the user.
//
// Also the process-wide values of the launcher shell: the status dialog's
// handle, and the names and full paths of the two semaphore files that the
// main thread creates and the worker deletes.
#ifndef SHELL_STATUSWIN_H
#define SHELL_STATUSWIN_H

#include <windows.h>
#include <stddef.h>

enum { LanguageSize = 1000, StatusTextSize = 1000, SemaphorePathSize = 5001 };

// Owned by the main thread, set before the worker starts.
extern HINSTANCE hInst;
extern HWND hDlgMain;  // null once the dialog is destroyed
extern const char WaitInstallFilename[];  // "__kivinstall.sem": the installation runs
extern const char ShowDialogFilename[];   // "__kivshow.sem": the dialog is to stay up
extern char waitInstallPath[SemaphorePathSize];  // the work directory's WaitInstallFilename
extern char showDialogPath[SemaphorePathSize];   // the work directory's ShowDialogFilename
extern int postedQuit;

class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    void setQuietMode(bool quiet) { quietMode = quiet; }
    void setMaxPercentage(unsigned max) { maxPercentage = max; }
    // Progress hooks: they leave the dialog unchanged.
    void showStatus(const char* text);
    void showStatus(unsigned percent);
    // An exclamation box "Tallybox Installer"; quiet mode is not consulted.
    void showMessage(const char* text);
    // The error box, with details or the language's pointer to the logs.
    // In quiet mode nothing is shown and "__kivshow.sem" stays.
    void showError(const char* message, const char* details = nullptr);

protected:
    unsigned maxPercentage;
    bool quietMode;
    char* language;  // LanguageSize bytes, owned
};

// The initial status text of a language word (English for any other word),
// UTF-8.
const char* initialStatusText(const char* language);
// The pointer to the log files that ends an error without details (UTF-8).
const char* errorLogSuffix(const char* language);
// The text of the error box in UTF-16: message, two CRs and details, or the
// message and the language's suffix when details are null or empty. The
// message and details are in the ANSI code page. Allocated to hold the whole
// text; the caller frees it. Null only when out of memory.
wchar_t* composeErrorText(const char* message, const char* details, const char* language);

// Fills text (at least StatusTextSize bytes) with the initial status text
// (UTF-8).
void getMessage(HWND dialog, unsigned controlId, char* text);
// Shows a UTF-8 status text in the dialog's control.
void setStatusText(HWND dialog, unsigned controlId, const char* text);
INT_PTR CALLBACK StatusDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
