// The status dialog, the initial status text in the user's language, the
// one box function, and ShellChannel, the shell's side of the installation's
// user channel.
//
// Also the process-wide values of the launcher shell: the status dialog's
// handle, and the name and full path of the semaphore file that the main
// thread creates and the worker deletes.
#ifndef SHELL_STATUSWIN_H
#define SHELL_STATUSWIN_H

#include <windows.h>
#include <stddef.h>

#include "base/userchannel.h"
#include "base/usertext.h"

enum { LanguageSize = 1000, StatusTextSize = 1000, SemaphorePathSize = 5001 };

// Owned by the main thread, set before the worker starts.
extern HINSTANCE hInst;
extern HWND hDlgMain;  // null once the dialog is destroyed
extern char waitInstallPath[SemaphorePathSize];  // the work directory's WaitInstallFile

enum class BoxKind {
    Notice,  // the product's name (else "Tallybox Installer"), an exclamation mark: the message alone
    Error    // "<product>: Error" (else "Tallybox Installer: Error"), system-modal: message and details
};

// The one place a box is shown, in language (null: the user's), with the
// caption of its kind. An error box shows the message, the details when
// there are any, and the pointer to the logs.
void showBox(BoxKind kind, const UserLines& message, const UserLines* details,
             const char* language);

// The user channel of the shell: the product's name becomes the captions'
// (the dialog's as a posted message); each stage becomes the dialog's one
// line (a posted message, as the progress); the failure box comes once;
// releasing the dialog sets the
// event the main thread waits on. The progress of a download goes to the
// dialog as a posted message (the worker never waits on the dialog's
// thread): the dialog then shows a bar and the bytes received.
class ShellChannel : public UserChannel, private Progress {
public:
    explicit ShellChannel(HANDLE releaseEvent);
    ShellChannel(const ShellChannel&) = delete;
    ShellChannel& operator=(const ShellChannel&) = delete;

    void showProductName(const char* name) override;
    void showStage(UserText stage, const char* first, const char* second) override;
    void showFailure(const UserLines& message, const UserLines& details) override;
    void releaseDialog() override;
    Progress* progress() override { return this; }

private:
    void progress(ProgressStage stage, unsigned long long done,
                  unsigned long long total) override;

    HANDLE releaseEvent;
    bool failureShown;
    char language[LanguageSize];
};

// The initial status text of a language word (English for any other word),
// UTF-8.
const char* initialStatusText(const char* language);
// The text of an error box in language, UTF-16: the message, two CRs and
// the details when there are any, then the pointer to the logs. Allocated
// to hold the whole text; the caller frees it. Null only when out of memory.
wchar_t* composeErrorText(const UserLines& message, const UserLines* details,
                          const char* language);

// Makes the status dialog (hDlgMain) on the main thread, unless a failure
// box came first; null then, or when it cannot be made.
HWND createStatusDialog(HINSTANCE instance, HWND mainWindow);
// The main thread makes no dialog: a failure box need not wait for it.
void settleStatusDialog();

// For a language with a font of its own (Japanese), gives one control of a
// dialog that font.
void selectControlIdCharType(HWND dialog, unsigned controlId, const char* language);
// Fills text (at least StatusTextSize bytes) with the initial status text
// (UTF-8).
void getMessage(HWND dialog, unsigned controlId, char* text);
// Shows a UTF-8 status text in the dialog's control.
void setStatusText(HWND dialog, unsigned controlId, const char* text);
// The messages that tell the dialog that the progress changed, that the
// product's name is known, and that the stage changed (posted by the main
// thread too, once the dialog is up, for a stage reached before).
enum { WM_SHOW_PROGRESS = WM_APP + 1, WM_SHOW_PRODUCT_NAME = WM_APP + 2, WM_SHOW_STAGE = WM_APP + 3 };
// Gives the dialog the product's name as its caption, when one is known
// (else the caption stays the dialog's own).
void showCaption(HWND dialog);
INT_PTR CALLBACK StatusDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
