// The texts for the user: every language the launcher can choose has every text of every table
// (the named texts, the change record's words), so that no language is half added; every text, with the English placeholders and line
// breaks, in valid UTF-8; English fills its patterns to the very bytes the boxes had before.
#include "base/usertext.h"
#include "config/language.h"
#include "security/security.h"
#include "shell/statuswin.h"
#include "shell/usertexts.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

TEST(UserTexts, EveryLanguageHasEveryText) {
    for (const char* language : TranslatedLanguages) {
        for (int i = 0; i < UserTextCount; ++i) {
            UserText name = (UserText)i;
            std::string english = englishPattern(name);
            const char* own = translatedPattern(name, language);
            ASSERT_NE(own, nullptr) << language << " " << i;
            std::string text = own;
            EXPECT_EQ(placeholdersOf(own), placeholdersOf(english.c_str())) << language << " " << i;
            for (char end : {'\r', '\n'})
                EXPECT_EQ(std::count(text.begin(), text.end(), end),
                          std::count(english.begin(), english.end(), end))
                    << language << " " << i;
            if (name != TextVersionRange) {
                EXPECT_NE(text, english) << language << " " << i;
            }
            EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, own, -1, nullptr, 0), 0)
                << language << " " << i;
        }
    }
    EXPECT_STREQ(userPattern(TextCaption, "russian"), "Tallybox Installer");
    // Each translated language is the one getLanguage chooses for its tag, in the same order, and
    // the change record of the security files has its words. Regression: the first status text and
    // the change record's words were English in Japanese.
    const char* const tags[TranslatedLanguageCount] = {"fr\0", "de\0", "es\0", "pl\0",
                                                       "ja\0", "it\0", "pt\0", "nl\0"};
    Security security;
    for (size_t i = 0; i < TranslatedLanguageCount; ++i) {
        char word[LanguageBufferSize];
        getLanguageFrom(tags[i], nullptr, word);
        EXPECT_STREQ(word, TranslatedLanguages[i]);
        const char *renamed, *preposition;
        security.getRenameWords(TranslatedLanguages[i], &renamed, &preposition);
        EXPECT_STRNE(renamed, "Renamed") << TranslatedLanguages[i];
        EXPECT_STRNE(initialStatusText(TranslatedLanguages[i]), "Unpacking the installer...");
    }
}

TEST(UserTexts, ValuesFilled) {
    char text[200];
    // The English wording of the boxes, byte for byte.
    EXPECT_TRUE(englishText(text, sizeof text, TextInstallJvmAndRestart, "JRE", "1.8"));
    EXPECT_STREQ(text, "Please install JRE 1.8 and then restart this installation program.");
    englishText(text, sizeof text, TextVersionRange, "1.6", "1.8");
    EXPECT_STREQ(text, "1.6 - 1.8");
    EXPECT_FALSE(englishText(text, 12, TextUnableToInstallJvm, "JRE", "1.8"));
    EXPECT_STREQ(text, "Unable to i");
    const char* const values[] = {"a", nullptr};
    fillPattern(text, sizeof text, "%2%1 100% %9", values, 2);
    EXPECT_STREQ(text, "a 100% ");
    EXPECT_TRUE(userText(text, sizeof text, TextPackageFaulty, "polish", "kiv.control"));
    EXPECT_STREQ(text, "Pakiet jest wadliwy: kiv.control");
    wchar_t* wide = userTextForWindow(TextMainClassMissing, "german", "com.x.W");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::wstring(wide),
              L"Die Hauptklasse com.x.W des Installationsassistenten wurde nicht gefunden.");
    free(wide);
}
