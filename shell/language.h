// The user's language, from the locale name in the registry.
#ifndef SHELL_LANGUAGE_H
#define SHELL_LANGUAGE_H

#include <windows.h>

// Fills language (callers pass 1000 bytes) with one of the nine words.
void getLanguage(char* language);
void setWindowCharType(HWND window);
void selectControlIdCharType(HWND dialog, unsigned controlId, const char* language);

#endif
