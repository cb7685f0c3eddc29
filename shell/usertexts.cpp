// The texts for the user in the user's language with their values filled.
// The patterns (config/languages/) are UTF-8 and reach the windows as
// UTF-16, so that their letters show whatever the system's ANSI code page
// is; the values are the program's texts, in its ANSI code page.
#include "shell/usertexts.h"
#include "base/codepage.h"
#include "base/strbuf.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

// A program text (ANSI code page) as UTF-8, allocated with malloc.
char* utf8FromProgram(const char* text) {
    wchar_t* wide = widen(text ? text : "", CP_ACP);
    if (!wide) return nullptr;
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = size > 0 ? (char*)malloc((size_t)size) : nullptr;
    if (utf8 && !WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, size, nullptr, nullptr))
        utf8[0] = '\0';
    free(wide);
    return utf8;
}

// The pattern with its values (UTF-8), allocated to hold it whole (null
// when out of memory).
char* filledText(const char* pattern, char* const* values) {
    size_t size = strlen(pattern) + 1;
    for (const char* c = pattern; *c; ++c)
        if (c[0] == '%' && (c[1] == '1' || c[1] == '2')) size += strlen(values[c[1] - '1']);
    char* text = (char*)malloc(size);
    if (text) fillPattern(text, size, pattern, values, 2);
    return text;
}

// The text of name in language with the program's values (ANSI code page),
// UTF-8, allocated with malloc (null when out of memory).
char* userTextUtf8(UserText name, const char* language, const char* first, const char* second) {
    char* values[] = {utf8FromProgram(first), utf8FromProgram(second)};
    char* text = values[0] && values[1] ? filledText(userPattern(name, language), values) : nullptr;
    free(values[0]);
    free(values[1]);
    return text;
}

// A value of a part in language, UTF-8 (malloc'd; null when out of memory).
char* valueUtf8(const UserLines::Value& value, const char* language) {
    if (value.name == UserTextCount) return utf8FromProgram(value.text);
    return userTextUtf8(value.name, language, value.text, value.second);
}

// A UTF-8 text as UTF-16 (malloc'd; null when out of memory); text is freed.
wchar_t* wideAndFreed(char* text) {
    wchar_t* wide = text ? widen(text, CP_UTF8) : nullptr;
    free(text);
    return wide;
}

}  // namespace

bool userText(char* out, size_t cap, UserText name, const char* language, const char* first,
              const char* second) {
    const char* const values[] = {first, second};
    return fillPattern(out, cap, userPattern(name, language), values, 2);
}

wchar_t* userTextForWindow(UserText name, const char* language, const char* first,
                           const char* second) {
    return wideAndFreed(userTextUtf8(name, language, first, second));
}

wchar_t* partForWindow(const UserLines::Part& part, const char* language) {
    char* values[] = {valueUtf8(part.values[0], language), valueUtf8(part.values[1], language)};
    char* text = values[0] && values[1] ? filledText(userPattern(part.name, language), values)
                                        : nullptr;
    free(values[0]);
    free(values[1]);
    return wideAndFreed(text);
}
