// Locale detection: which of the languages the launcher speaks is the
// user's, and the texts of each language (config/languages/).
//
// The display language decides, not the regional format: the user's
// preferred UI languages in their order (GetUserPreferredUILanguages), the
// first the launcher speaks (English included); else the user's UI language
// (GetUserDefaultUILanguage); else the locale name ("LocaleName" under
// HKCU\Control Panel\International). A name is matched, in lower case,
// against the languages: a language matches its exact word or any name that
// begins with one of its aliases. The first matching language wins. No alias
// begins with an earlier one: it could never match. A name that no language
// matches but that has the form of a language tag ("de", "de-DE", "pt-BR")
// is taken by its language part; every other name is English (for a locale
// name; a UI language the launcher does not speak passes the decision on).
// Each decision is recorded in "locale.log" while that file exists, with the
// source that made it.
#include "config/language.h"
#include "base/disknames.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

static const char LocaleKey[] = "Control Panel\\International";
static const char LocaleValue[] = "LocaleName";
static const char English[] = "english";
static const char EnglishLabel[] = "English found";

enum { LocaleNameSize = 201 };

const Language* const Languages[] = {
#define LANGUAGE(name) &name,
#include "config/languages/list.h"
#undef LANGUAGE
};
const LanguageSource* const LanguageSources[] = {
#define LANGUAGE(name) &name##Source,
#include "config/languages/list.h"
#undef LANGUAGE
};
const size_t LanguageCount = dimof(Languages);

namespace {

const PackedTexts* const Packed[] = {
#define LANGUAGE(name) &name##Packed,
#include "config/languages/list.h"
#undef LANGUAGE
};

// Each language's patterns once unpacked, null where it has none.
struct Unpacked {
    bool done;
    const char* patterns[UserTextCount];
};
SRWLOCK unpackLock = SRWLOCK_INIT;
Unpacked unpacked[dimof(Languages)];

// Inflates packed into memory of its own and points patterns at its texts;
// leaves them null when it does not hold exactly the patterns of every name.
void unpack(const PackedTexts& packed, const char** patterns) {
    size_t size = packed.unpackedSize;
    char* texts = (char*)malloc(size + 1);
    if (!texts) return;
    z_stream stream;
    memset(&stream, 0, sizeof stream);
    stream.next_in = const_cast<Bytef*>(packed.data);
    stream.avail_in = packed.size;
    stream.next_out = (Bytef*)texts;
    stream.avail_out = (uInt)size + 1;
    bool whole = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
    if (whole) {
        whole = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.total_out == size;
        inflateEnd(&stream);
    }
    const char* found[UserTextCount];
    size_t at = 0;
    for (int name = 0; whole && name < UserTextCount; ++name) {
        const char* end = (const char*)memchr(texts + at, '\0', size - at);
        if (!end) {
            whole = false;
        } else {
            found[name] = texts[at] ? texts + at : nullptr;
            at = (size_t)(end - texts) + 1;
        }
    }
    if (whole && at == size)
        memcpy(patterns, found, sizeof found);
    else
        free(texts);
}

size_t languageIndex(const char* word) {
    size_t index = 0;
    while (word && index < LanguageCount && _stricmp(word, Languages[index]->word) != 0) ++index;
    return index;
}

}  // namespace

const Language* findLanguage(const char* word) {
    size_t index = languageIndex(word);
    return index < LanguageCount ? Languages[index] : nullptr;
}

const char* translatedPattern(UserText name, const char* word) {
    size_t index = languageIndex(word);
    if (index == LanguageCount || (unsigned)name >= UserTextCount) return nullptr;
    Unpacked& language = unpacked[index];
    AcquireSRWLockExclusive(&unpackLock);
    if (!language.done) {
        unpack(*Packed[index], language.patterns);
        language.done = true;
    }
    const char* pattern = language.patterns[name];
    ReleaseSRWLockExclusive(&unpackLock);
    return pattern;
}

const char* userPattern(UserText name, const char* language) {
    const char* pattern = translatedPattern(name, language);
    return pattern ? pattern : englishPattern(name);
}

// Matches a lower-case name against the languages, then as a language tag:
// two letters alone or followed by "-".
static const Language* matchLanguage(const char* name) {
    for (const Language* language : Languages) {
        if (strcmp(name, language->word) == 0) return language;
        for (const char* const* alias = language->aliases; *alias; ++alias)
            if (startsWith(name, *alias)) return language;
    }
    if (name[0] && name[1] && (name[2] == '\0' || name[2] == '-'))
        for (const Language* language : Languages)
            if (strncmp(name, language->tag, 2) == 0) return language;
    return nullptr;
}

void logLocaleMsg(const char* label, const char* localeName, const char* language) {
    if (!fexists(LocaleLog)) return;
    FILE* file = fopen(LocaleLog, "at");
    if (!file) return;
    fprintf(file, "%s locale: %s language: %s\n", label, localeName, language);
    fclose(file);
}

// The word of a UI language's name (any case) into language, or false
// when the launcher does not speak it. English ("en", "en-GB") decides too.
static bool uiLanguage(const char* name, char* language, const char* source) {
    char lower[LocaleNameSize];
    if (!name[0] || !copyText(lower, name)) return false;
    lowerText(lower);
    const Language* match = matchLanguage(lower);
    bool english = strncmp(lower, "en", 2) == 0 && (lower[2] == '\0' || lower[2] == '-');
    if (!match && !english) return false;
    copyText(language, LanguageBufferSize, match ? match->word : English);
    logLocaleMsg(source, name, language);
    return true;
}

void getLanguageFrom(const char* preferred, const char* uiName, char* language) {
    language[0] = '\0';
    for (const char* name = preferred; name && *name; name += strlen(name) + 1)
        if (uiLanguage(name, language, "decided by the preferred UI languages,")) return;
    if (uiName && uiLanguage(uiName, language, "decided by the UI language,")) return;
    char name[LocaleNameSize];
    readRegistryText(HKEY_CURRENT_USER, LocaleKey, LocaleValue, name, sizeof name,
                     KEY_QUERY_VALUE);
    if (name[0]) {
        size_t size = strlen(name) + 1;
        char* lower = (char*)malloc(size);
        if (lower) {
            copyText(lower, size, name);
            lowerText(lower);
            const Language* match = matchLanguage(lower);
            const char* word = match ? match->word : English;
            copyText(language, LanguageBufferSize, word);
            logLocaleMsg(match ? match->label : EnglishLabel, lower, language);
            free(lower);
            logLocaleMsg("getLang", name, language);
        }
    }
    if (!language[0]) copyText(language, LanguageBufferSize, English);
    logLocaleMsg("decided by LocaleName,", name, language);
}

#ifndef MUI_LANGUAGE_NAME
#define MUI_LANGUAGE_NAME 0x8
#endif

void getLanguage(char* language) {
    // The preferred UI languages, a list of names each ended by a NUL and
    // the list by one more (Windows Vista and later; asked for by name).
    char preferred[LocaleNameSize] = "";
    typedef BOOL(WINAPI * PreferredFn)(DWORD, PULONG, PZZWSTR, PULONG);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    PreferredFn userPreferred =
        kernel ? (PreferredFn)(void*)GetProcAddress(kernel, "GetUserPreferredUILanguages")
               : nullptr;
    wchar_t names[LocaleNameSize];
    ULONG count = 0, size = LocaleNameSize;
    if (userPreferred && userPreferred(MUI_LANGUAGE_NAME, &count, names, &size) && size > 1 &&
        size <= LocaleNameSize &&
        !WideCharToMultiByte(CP_ACP, 0, names, (int)size, preferred, sizeof preferred - 1,
                             nullptr, nullptr))
        preferred[0] = '\0';
    preferred[sizeof preferred - 1] = '\0';
    char uiName[LocaleNameSize] = "";
    LCID ui = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (!GetLocaleInfoA(ui, LOCALE_SISO639LANGNAME, uiName, sizeof uiName)) uiName[0] = '\0';
    getLanguageFrom(preferred, uiName, language);
}
