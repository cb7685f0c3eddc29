// The user's language: the display language Windows shows the user, else
// the locale name in the registry.
#ifndef CONFIG_LANGUAGE_H
#define CONFIG_LANGUAGE_H

enum { LanguageBufferSize = 1000 };

// Fills language (LanguageBufferSize bytes) with one of the nine words:
// english, french, german, spanish, polish, japanese, italian, portuguese,
// dutch. Never fails: an unreadable locale name gives english.
void getLanguage(char* language);
// The same from the names given: preferred (the preferred UI languages,
// each ended by a NUL and the list by one more; null: none), uiName (the
// UI language; null: none), then the locale name in the registry.
void getLanguageFrom(const char* preferred, const char* uiName, char* language);
// Appends one line to "locale.log" while that file exists.
void logLocaleMsg(const char* label, const char* localeName, const char* language);

#endif
