// Provisional language detection: always English.
#include "shell/language.h"
#include <string.h>

void getLanguage(char* language) { strcpy(language, "english"); }
void setWindowCharType(HWND) {}
void selectControlIdCharType(HWND, unsigned, const char*) {}
