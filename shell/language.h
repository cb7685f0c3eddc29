// The user's language, from the locale name in the registry, and the
// Japanese font preparation for the status dialog.
#ifndef SHELL_LANGUAGE_H
#define SHELL_LANGUAGE_H

#include <windows.h>

// Fills language (callers pass 1000 bytes) with one of the nine words:
// english, french, german, spanish, polish, japanese, italian, portuguese,
// dutch. Never fails: an unreadable locale name gives english.
void getLanguage(char* language);
// For Japanese, prepares the Japanese font on the window's device context.
void setWindowCharType(HWND window);
// For Japanese, gives one control of a dialog the Japanese font, for a
// language the caller holds.
void selectControlIdCharType(HWND dialog, unsigned controlId, const char* language);
// Appends one line to "locale.log" while that file exists.
void logLocaleMsg(const char* label, const char* localeName, const char* language);

#endif
