// Windows error codes as text, through FormatMessageA.
#include "base/winerror.h"
#include "base/strbuf.h"

#include <windows.h>
#include <string.h>

static DWORD formatMessage(DWORD flags, HMODULE module, unsigned long code, DWORD language,
                           char* text, DWORD size) {
    DWORD length = FormatMessageA(flags, module, code, language, text, size, nullptr);
    return length < size ? length : 0;
}

bool windowsMessage(unsigned long code, char* out, size_t cap, void* module, const char* insert) {
    if (!cap) return false;
    out[0] = '\0';
    char text[512];
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                  (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    DWORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    DWORD length = formatMessage(flags, (HMODULE)module, code, english, text, sizeof text);
    // A system without English messages has its own language's.
    if (!length) length = formatMessage(flags, (HMODULE)module, code, 0, text, sizeof text);
    text[length] = '\0';
    while (length && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                      text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = '\0';
    if (!length) return false;
    // Each "%<digit>" of the text becomes insert.
    const char* from = text;
    for (const char* c = text; insert && *c; ++c) {
        if (c[0] != '%' || c[1] < '1' || c[1] > '9') continue;
        size_t used = strlen(out);
        copyTextN(out + used, cap - used, from, (size_t)(c - from));
        appendText(out, cap, insert);
        from = ++c + 1;
    }
    appendText(out, cap, from);
    return true;
}

void windowsErrorText(unsigned long code, char* out, size_t cap, const char* insert) {
    char text[1024];
    if (windowsMessage(code, text, sizeof text, nullptr, insert))
        formatText(out, cap, "Windows error %lu: %s", code, text);
    else formatText(out, cap, "Windows error %lu", code);
}
