// The texts for the user in the user's language: the patterns of every
// language the launcher speaks besides English, in UTF-8 with every letter
// whole, and the text of a name with its values filled. A language without
// a pattern for a name (or unknown) gets the English one.
#ifndef SHELL_USERTEXTS_H
#define SHELL_USERTEXTS_H

#include "base/usertext.h"

#include <stddef.h>
#include <wchar.h>

// The languages with patterns of their own, as getLanguage names them.
enum { TranslatedLanguageCount = 8 };
extern const char* const TranslatedLanguages[TranslatedLanguageCount];

// The language's own pattern of name, null when it has none.
const char* translatedPattern(UserText name, const char* language);

// The pattern of name in language (UTF-8), English when it has none.
const char* userPattern(UserText name, const char* language);

// The text of name in language with its values (UTF-8) into out (cap
// bytes, UTF-8); false when cut.
bool userText(char* out, size_t cap, UserText name, const char* language,
              const char* first = nullptr, const char* second = nullptr);

// The same for a window: the values are texts of the program (its ANSI code
// page), the result is UTF-16, allocated with malloc (null when out of
// memory).
wchar_t* userTextForWindow(UserText name, const char* language, const char* first = nullptr,
                           const char* second = nullptr);
// A part of a text for the user in language, with a nested value in the
// same language; UTF-16, allocated with malloc (null when out of memory).
wchar_t* partForWindow(const UserLines::Part& part, const char* language);

#endif
