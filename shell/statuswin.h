// The status dialog, the initial status text and Status, the base through
// which the working classes show message boxes to the user.
#ifndef SHELL_STATUSWIN_H
#define SHELL_STATUSWIN_H

#include <windows.h>

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
    void showError(const char* message, const char* details = nullptr);

protected:
    unsigned maxPercentage;
    bool quietMode;
    char* language;  // 1000 bytes, owned
};

enum { LanguageSize = 1000 };

void getMessage(HWND dialog, unsigned controlId, char* text);
INT_PTR CALLBACK StatusDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
