// Texts between the launcher's code page and the world's.
//
// The launcher runs with UTF-8 as its ANSI code page (its manifest asks for
// it), so that a work directory, start directory or JVM directory named in
// any script reaches every file, registry and process call whole. Two kinds
// of text come from elsewhere: files that a package or a script wrote in the
// system's legacy code page, and programs that read their command line in
// that code page. The first is converted on reading; the second is handed
// the short (8.3) name of a path, which is plain ASCII.
#include "base/codepage.h"
#include "base/strbuf.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

static bool isAscii(const char* text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return false;
    return true;
}

static bool isUtf8(const char* text) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0) > 0;
}

// The system's legacy ANSI code page (GetACP answers 65001 under the manifest).
static UINT legacyCodePage() {
    wchar_t digits[8];
    if (!GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, 8)) return 0;
    return (UINT)wcstoul(digits, nullptr, 10);
}

void fromLegacyCodePage(char* text, size_t capacity) {
    if (!text || GetACP() != CP_UTF8 || isAscii(text) || isUtf8(text)) return;
    UINT legacy = legacyCodePage();
    if (legacy == 0 || legacy == CP_UTF8) return;
    int count = MultiByteToWideChar(legacy, 0, text, -1, nullptr, 0);
    if (count <= 0) return;
    wchar_t* wide = (wchar_t*)malloc(count * sizeof(wchar_t));
    if (!wide) return;
    MultiByteToWideChar(legacy, 0, text, -1, wide, count);
    // Cut at a whole character: drop the last UTF-16 unit (and a lone
    // high surrogate before it) until the UTF-8 form fits.
    int length = count - 1;
    for (;;) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
        if ((size_t)bytes < capacity || length == 0) {
            int written = WideCharToMultiByte(CP_UTF8, 0, wide, length, text, (int)capacity - 1,
                                              nullptr, nullptr);
            text[written > 0 ? written : 0] = '\0';
            break;
        }
        --length;
        if (length > 0 && IS_HIGH_SURROGATE(wide[length - 1])) --length;
    }
    free(wide);
}

void pathForChild(char* path, size_t capacity) {
    if (!path || isAscii(path)) return;
    char* shortName = (char*)malloc(capacity);
    if (!shortName) return;
    DWORD length = GetShortPathNameA(path, shortName, (DWORD)capacity);
    if (length > 0 && length < capacity && isAscii(shortName)) copyText(path, capacity, shortName);
    free(shortName);
}
