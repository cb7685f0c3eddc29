// The texts for the user in the user's language (its patterns:
// config/language.h) with their values filled. A language without a
// pattern for a name (or unknown) gets the English one.
#ifndef SHELL_USERTEXTS_H
#define SHELL_USERTEXTS_H

#include "base/usertext.h"
#include "config/language.h"

#include <stddef.h>
#include <wchar.h>

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
