// windowsErrorText: FormatMessage's text for a Windows error code.
#include "base/winerror.h"
#include "base/strbuf.h"

#include <windows.h>

void windowsErrorText(unsigned long code, char* out, size_t cap) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    if (length >= sizeof text) length = 0;
    text[length] = '\0';
    while (length && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                      text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = '\0';
    if (length) formatText(out, cap, "Windows error %lu: %s", code, text);
    else formatText(out, cap, "Windows error %lu", code);
}
