// Provisional Status: English only, until the status dialog arrives.
#include "shell/statuswin.h"
#include "shell/language.h"
#include "base/strbuf.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

Status::Status() : maxPercentage(100), quietMode(false), language((char*)calloc(LanguageSize, 1)) {
    if (language) getLanguage(language);
}
Status::~Status() { free(language); }
void Status::showStatus(const char*) {}
void Status::showStatus(unsigned) {}
void Status::showMessage(const char* text) {
    remove("__kivshow.sem");
    MessageBoxA(nullptr, text, "Tallybox Installer", MB_ICONEXCLAMATION);
}
void Status::showError(const char* message, const char* details) {
    if (quietMode) return;
    remove("__kivshow.sem");
    char text[6000];
    if (details && *details) formatText(text, sizeof text, "%s\r\r%s", message, details);
    else formatText(text, sizeof text, "%s%s", message, "\n\nSee errors.log and jinstall.log files for details.");
    MessageBoxA(nullptr, text, "Tallybox Installer: Error", MB_ICONHAND | MB_SYSTEMMODAL);
}
