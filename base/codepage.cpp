// Texts between the launcher's code page and the world's.
//
// The launcher runs with UTF-8 as its ANSI code page (its manifest asks for
// it), so that a work directory, start directory or JVM directory named in
// any script reaches every file, registry and process call whole. Two kinds
// of text come from elsewhere: files that a package or a script wrote in the
// system's legacy code page, and programs that read their command line in
// that code page. The first is converted on reading; the second is handed
// the short (8.3) name of a path, which is plain ASCII. Java reads a
// properties file as ISO-8859-1, so a value with other letters is written
// there with \uXXXX escapes.
#include "base/codepage.h"
#include "base/scopedbuffer.h"
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

wchar_t* widen(const char* text, unsigned codePage) {
    if (!text) text = "";
    int count = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (count <= 0) count = 1;
    wchar_t* wide = (wchar_t*)malloc(count * sizeof(wchar_t));
    if (!wide) return nullptr;
    if (MultiByteToWideChar(codePage, 0, text, -1, wide, count) <= 0) wide[0] = L'\0';
    return wide;
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
    ScopedBuffer<wchar_t> wide(widen(text, legacy));
    if (!wide || !wide[0]) return;
    int count = (int)wcslen(wide) + 1;
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
}

// A UTF-8 text in the ANSI code page, into out (cap bytes; out may be text
// itself, since the text is widened first). Exact: false, with out
// unchanged, when a letter has no form in the code page or the result does
// not fit. Otherwise a missing letter becomes the default character and a
// result too long is cut.
static bool utf8ToAnsi(const char* text, char* out, size_t cap, bool exact) {
    ScopedBuffer<wchar_t> wide(widen(text, CP_UTF8));
    if (!wide) return false;
    BOOL lost = FALSE;
    int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, exact ? &lost : nullptr);
    bool fits = bytes > 0 && !lost && (size_t)bytes <= cap;
    if (fits || !exact) {
        int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, (int)cap, nullptr, nullptr);
        if (written <= 0) copyText(out, cap, text);  // too long for out: cut as it is
        out[cap - 1] = '\0';
    }
    return fits;
}

bool fromUtf8(char* text, size_t capacity) {
    if (!text || isAscii(text)) return true;
    if (!isUtf8(text)) return false;
    if (GetACP() == CP_UTF8) return true;
    return utf8ToAnsi(text, text, capacity, true);
}

void ansiFromUtf8(const char* text, char* out, size_t cap) {
    if (!cap) return;
    out[0] = '\0';
    if (!text) return;
    if (GetACP() == CP_UTF8 || isAscii(text)) {
        copyText(out, cap, text);
        return;
    }
    utf8ToAnsi(text, out, cap, false);
}

void pathForChild(char* path, size_t capacity) {
    if (!path || isAscii(path)) return;
    ScopedText shortName(ScopedText::allocate(capacity));
    if (!shortName) return;
    DWORD length = GetShortPathNameA(path, shortName, (DWORD)capacity);
    if (length > 0 && length < capacity && isAscii(shortName)) copyText(path, capacity, shortName);
}

void writeProperty(FILE* file, const char* key, const char* value) {
    fprintf(file, "%s=", key);
    ScopedBuffer<wchar_t> wide(isAscii(value) ? nullptr : widen(value, CP_ACP));
    if (!wide || !wide[0]) {
        fprintf(file, "%s\n", value);
        return;
    }
    for (const wchar_t* c = wide; *c; ++c)
        if (*c < 0x80)
            fputc((char)*c, file);
        else
            fprintf(file, "\\u%04X", (unsigned)*c);
    fputc('\n', file);
}

static int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The UTF-16 unit of the escape at text ("\\u" and four hex digits), or -1.
static long escapedUnit(const char* text) {
    if (text[0] != '\\' || text[1] != 'u') return -1;
    long unit = 0;
    for (int i = 2; i < 6; ++i) {
        int digit = hexDigit(text[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

void fromPropertyEscapes(char* line, size_t capacity) {
    if (!line || !strstr(line, "\\u")) return;
    ScopedText result(ScopedText::allocate(capacity));
    if (!result) return;
    size_t used = 0;
    for (const char* in = line; *in;) {
        wchar_t units[2];
        int count = 0;
        long unit = escapedUnit(in);
        if (unit >= 0) {
            units[count++] = (wchar_t)unit;
            long low = IS_HIGH_SURROGATE(unit) ? escapedUnit(in + 6) : -1;
            if (low >= 0 && IS_LOW_SURROGATE(low)) units[count++] = (wchar_t)low;
        }
        char bytes[8];
        BOOL lost = FALSE;
        BOOL* lostFlag = GetACP() == CP_UTF8 ? nullptr : &lost;
        int length = count ? WideCharToMultiByte(CP_ACP, 0, units, count, bytes, sizeof bytes,
                                                 nullptr, lostFlag)
                           : 0;
        const char* piece = in;
        size_t pieceLength = 1;
        if (length > 0 && !lost) {
            piece = bytes;
            pieceLength = (size_t)length;
        } else if (count) {
            pieceLength = 6 * (size_t)count;
        }
        if (used + pieceLength >= capacity) break;
        memcpy(result + used, piece, pieceLength);
        used += pieceLength;
        in += count ? 6 * count : 1;
    }
    result[used] = '\0';
    copyText(line, capacity, result);
}
