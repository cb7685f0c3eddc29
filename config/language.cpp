// Locale detection: which of nine languages the launcher speaks.
//
// The user's locale name ("LocaleName" under HKCU\Control Panel\International)
// is matched, in lower case, against a table of language groups: a group
// matches its exact word or any name that begins with one of its aliases.
// The first matching group wins. No alias begins with an earlier one: it
// could never match. A name that no group matches but that has
// the form of a language tag ("de", "de-DE", "pt-BR") is taken by its
// language part; every other name is English. Each decision is recorded in
// "locale.log" while that file exists.
#include "config/language.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/textline.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char LocaleKey[] = "Control Panel\\International";
static const char LocaleValue[] = "LocaleName";
static const char LocaleLogFilename[] = "locale.log";
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
    if (!fexists(LocaleLogFilename)) return;
    FILE* file = fopen(LocaleLogFilename, "at");
    if (!file) return;
    fprintf(file, "%s locale: %s language: %s\n", label, localeName, language);
    fclose(file);
}

void getLanguage(char* language) {
    language[0] = '\0';
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
}
