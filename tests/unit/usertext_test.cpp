// The languages: every language of config/languages/list.h has every text, with the English
// placeholders and line breaks, in valid UTF-8, and is chosen by its word, its tag and each of its
// aliases, so that no language is half added; English fills its patterns to the very bytes the boxes
// and the change record had before.
#include "base/usertext.h"
#include "config/language.h"
#include "shell/usertexts.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(UserTexts, EveryLanguageHasEveryTextAndIsChosenByItsNames) {
    ASSERT_GT(LanguageCount, 0u);
    for (size_t l = 0; l < LanguageCount; ++l) {
        const Language& language = *Languages[l];
        const char* word = language.word;
        // As many texts as names, each name found: none twice, none missing; each unpacked as
        // its file writes it.
        const LanguageSource& source = *LanguageSources[l];
        EXPECT_EQ(source.count, (size_t)UserTextCount) << word;
        for (size_t i = 0; i < source.count; ++i)
            EXPECT_STREQ(translatedPattern(source.texts[i].name, word), source.texts[i].text) << word;
        for (int i = 0; i < UserTextCount; ++i) {
            UserText name = (UserText)i;
            std::string english = englishPattern(name);
            const char* own = translatedPattern(name, word);
            ASSERT_NE(own, nullptr) << word << " " << i;
            std::string text = own;
            EXPECT_EQ(placeholdersOf(own), placeholdersOf(english.c_str())) << word << " " << i;
            for (char end : {'\r', '\n'})
                EXPECT_EQ(std::count(text.begin(), text.end(), end),
                          std::count(english.begin(), english.end(), end))
                    << word << " " << i;
            if (name != TextVersionRange) {
                EXPECT_NE(text, english) << word << " " << i;
            }
            EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, own, -1, nullptr, 0), 0)
                << word << " " << i;
        }
        // Its names, as a preferred UI language (a list ended by two NULs): an alias that begins
        // with one of an earlier language would choose that one.
        ASSERT_TRUE(language.tag && strlen(language.tag) == 2) << word;
        EXPECT_TRUE(language.label && *language.label) << word;
        std::vector<std::string> names = {word, language.tag, std::string(language.tag) + "-XY"};
        for (const char* const* alias = language.aliases; *alias; ++alias) names.push_back(*alias);
        for (const std::string& name : names) {
            char chosen[LanguageBufferSize];
            getLanguageFrom((name + '\0').c_str(), nullptr, chosen);
            EXPECT_STREQ(chosen, word) << name;
        }
    }
    EXPECT_STREQ(userPattern(TextCaption, "russian"), "Tallybox Installer");
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
