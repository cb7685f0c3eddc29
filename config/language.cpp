// Locale detection: which of nine languages the launcher speaks.
//
// The display language decides, not the regional format: the user's
// preferred UI languages in their order (GetUserPreferredUILanguages), the
// first the launcher speaks (English included); else the user's UI language
// (GetUserDefaultUILanguage); else the locale name ("LocaleName" under
// HKCU\Control Panel\International). A name is matched, in lower case, against a table of language groups: a group
// matches its exact word or any name that begins with one of its aliases.
// The first matching group wins. No alias begins with an earlier one: it
// could never match. A name that no group matches but that has
// the form of a language tag ("de", "de-DE", "pt-BR") is taken by its
// language part; every other name is English (for a locale name; a UI
// language the launcher does not speak passes the decision on). Each
// decision is recorded in "locale.log" while that file exists, with the
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

static const char LocaleKey[] = "Control Panel\\International";
static const char LocaleValue[] = "LocaleName";
static const char English[] = "english";
static const char EnglishLabel[] = "English found";

enum { LocaleNameSize = 201 };

// Stands where the stored aliases hold a replacement character.
#define R "\xEF\xBF\xBD"

static const char* const FrenchAliases[] = {
    "french-belgian", "frc", "french-canadian", "fra", "frb", "french-swiss", "frs", nullptr};
static const char* const GermanAliases[] = {
    "dea", "german-austrian", "deu", "des", "german-swiss", "swiss", "alem" R "n",
    "alem" R "o", "tedesco", "allemand", nullptr};
static const char* const SpanishAliases[] = {
    "esp", "esm", "spanish-mexican", "esn", "spanish-modern", "spagnoli", "spanisch", nullptr};
static const char* const PolishAliases[] = {"plk", nullptr};
static const char* const JapaneseAliases[] = {"jpn", nullptr};
static const char* const ItalianAliases[] = {"italian-swiss", "ita", "its", nullptr};
static const char* const PortugueseAliases[] = {"portuguese-brasilian", "ptb", "ptg",
                                                "portugu" R "ses", nullptr};
static const char* const DutchAliases[] = {"dutch (standard)", "dutch (belgian)",
                                           "dutch-standard", "dutch-belgian",
                                           "landinstellingen", nullptr};

#undef R

struct LanguageGroup {
    const char* word;
    const char* label;
    const char* const* aliases;
};

static const LanguageGroup Groups[] = {
    {"french", "French found", FrenchAliases},
    {"german", "German found", GermanAliases},
    {"spanish", "Spanish found", SpanishAliases},
    {"polish", "Polish found", PolishAliases},
    {"japanese", "Japanese found", JapaneseAliases},
    {"italian", "Italian found", ItalianAliases},
    {"portuguese", "Portuguese found", PortugueseAliases},
    {"dutch", "Dutch found", DutchAliases},
};

// The language part of a tag such as "de-de" (lower case), in the order of
// the groups above.
static const char* const TagLanguages[] = {"fr", "de", "es", "pl", "ja", "it", "pt", "nl"};

// Matches a lower-case name against the groups, then as a language tag:
// two letters alone or followed by "-".
static const LanguageGroup* matchGroup(const char* name) {
    for (size_t i = 0; i < dimof(Groups); ++i) {
        const LanguageGroup& group = Groups[i];
        if (strcmp(name, group.word) == 0) return &group;
        for (const char* const* alias = group.aliases; *alias; ++alias)
            if (startsWith(name, *alias)) return &group;
    }
    if (name[0] && name[1] && (name[2] == '\0' || name[2] == '-'))
        for (size_t i = 0; i < dimof(TagLanguages); ++i)
            if (strncmp(name, TagLanguages[i], 2) == 0) return &Groups[i];
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
    const LanguageGroup* group = matchGroup(lower);
    bool english = strncmp(lower, "en", 2) == 0 && (lower[2] == '\0' || lower[2] == '-');
    if (!group && !english) return false;
    copyText(language, LanguageBufferSize, group ? group->word : English);
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
            const LanguageGroup* group = matchGroup(lower);
            const char* word = group ? group->word : English;
            copyText(language, LanguageBufferSize, word);
            logLocaleMsg(group ? group->label : EnglishLabel, lower, language);
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
