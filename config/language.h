// The languages the launcher speaks: which one is the user's (the display
// language Windows shows the user, else the locale name in the registry),
// and each language's texts for the user. Each language besides English is
// one file of config/languages/ and one line of config/languages/list.h;
// English is the reference (base/usertext) and the fallback of any text.
#ifndef CONFIG_LANGUAGE_H
#define CONFIG_LANGUAGE_H

#include "base/usertext.h"

#include <stddef.h>

enum { LanguageBufferSize = 1000 };

// A language besides English: constant data, made by its own file.
struct Language {
    const char* word;             // as getLanguage names it: "french"
    const char* label;            // what locale.log says when a locale name chose it
    const char* tag;              // the language part of a language tag: "fr"
    const char* const* aliases;   // beginnings of the names Windows gives it (lower case),
                                  // ended by null
    unsigned char charSet;        // the character set of the font the status dialog
                                  // needs for it (0: the dialog's own font)
};

// A language's texts as its file writes them, in any order: the source of
// its packed ones. The program reads only those; the tests compare the two.
struct LanguageSource {
    const UserPattern* texts;
    size_t count;
};

// A language's texts as the program carries them (made by the build, by
// cmake/packtexts.py from the language's file): the patterns in the order of
// the names, each ended by a NUL (an empty one: the language has none of its
// own), deflated raw.
struct PackedTexts {
    const unsigned char* data;
    unsigned size;
    unsigned unpackedSize;
};

#define LANGUAGE(name)                        \
    extern const Language name;               \
    extern const LanguageSource name##Source; \
    extern const PackedTexts name##Packed;
#include "config/languages/list.h"
#undef LANGUAGE

// Every language of config/languages/list.h, in its order, and the source
// of its texts.
extern const Language* const Languages[];
extern const LanguageSource* const LanguageSources[];
extern const size_t LanguageCount;

// The language of a word (any case), null for English and any other word.
const Language* findLanguage(const char* word);

// The language's own pattern of name, null when it has none (English too).
// A language's texts are unpacked at its first pattern, once, whichever
// thread asks; should they not unpack, it has none.
const char* translatedPattern(UserText name, const char* language);
// The pattern of name in language (UTF-8), English when it has none.
const char* userPattern(UserText name, const char* language);

// Fills language (LanguageBufferSize bytes) with "english" or the word of
// one of the Languages. Never fails: an unreadable locale name gives english.
void getLanguage(char* language);
// The same from the names given: preferred (the preferred UI languages,
// each ended by a NUL and the list by one more; null: none), uiName (the
// UI language; null: none), then the locale name in the registry.
void getLanguageFrom(const char* preferred, const char* uiName, char* language);
// Appends one line to "locale.log" while that file exists.
void logLocaleMsg(const char* label, const char* localeName, const char* language);

#endif
