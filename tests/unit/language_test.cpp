// Locale detection against the real registry of the test prefix, and the texts of the status dialog
// and the error box.
#include "config/language.h"
#include "shell/statuswin.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>

// All registry cases in one test: the tests of this suite may run in parallel, and the value is
// shared. Wine writes the value afresh whenever a process starts: nothing needs putting back.
TEST(Language, AliasTableAgainstRegistry) {
    const char* const intl = "Control Panel\\International";
    ScratchDir dir;
    // Each alias of the table is its data; these rows are the ways a name is matched.
    const std::string cases[][2] = {
        {"FRENCH", "french"},        {"fra", "french"},             {"frc-english", "french"},
        {"swiss french", "german"},  {"frenchy", "english"},        {"English", "english"},
        {"dutch (belgian) xyz", "dutch"}, {"dutchman", "english"},  {"", "english"},
        {"fran" "\xEF\xBF\xBD" "ais", "french"},
        {"fra" + std::string(300, 'x'), "english"},  // too long to read (read cut: french)
        // Language tags that no alias matches go by their language part (the tags Wine sets from a
        // locale: tests/e2e/test_shell_language.py).
        {"de-CH", "german"},         {"it", "italian"},             {"nl-BE", "dutch"},
        {"en-US", "english"},        {"zh-Hans-CN", "english"},     {"dex", "english"},
        {"d-DE", "english"},
    };
    for (const auto& c : cases) {
        if (c[0].empty())  // no value at all
            RegDeleteKeyValueA(HKEY_CURRENT_USER, intl, "LocaleName");
        else
            RegSetKeyValueA(HKEY_CURRENT_USER, intl, "LocaleName", REG_SZ, c[0].c_str(),
                            (DWORD)c[0].size() + 1);
        char word[1000];
        getLanguageFrom(nullptr, nullptr, word);  // no UI language the launcher speaks
        EXPECT_STREQ(word, c[1].c_str()) << c[0].substr(0, 20);
    }
    // The display language goes before the regional format: the first preferred UI language the
    // launcher speaks (English too), else the UI language, else the locale name.
    RegSetKeyValueA(HKEY_CURRENT_USER, intl, "LocaleName", REG_SZ, "fr-FR", 6);
    const char* const preferred[][3] = {
        {"de-DE\0fr-FR\0", "it", "german"}, {"zh-CN\0pl-PL\0", "it", "polish"},
        {"en-GB\0de-DE\0", "it", "english"}, {"zh-CN\0", "ja", "japanese"},
        {"zh-CN\0", "ru", "french"},        {"", nullptr, "french"},
    };
    for (const auto& c : preferred) {
        char word[1000];
        getLanguageFrom(c[0], c[1], word);
        EXPECT_STREQ(word, c[2]) << c[0] << " " << (c[1] ? c[1] : "");
    }
}

// A box's parts are joined as they are in the logs, with the pointer to them at the end (their
// words: test_shell_language). Regression: the Japanese font was selected into a device context and
// selected out again: the control never drew with it.
TEST(StatusTexts, BoxTextJoinedAndJapaneseFontOnTheControl) {
    UserLines message, details;
    message.add(TextUnableToInstallJvm, "JRE", std::string(1000, 'v').c_str());
    message.add(TextDiskSpace, nullptr, nullptr, " ");
    details.add(TextOtherCauses);
    char english[5000];
    EXPECT_TRUE(message.english(english, sizeof english));
    std::string expected = "Unable to install JRE " + std::string(UserLines::ValueSize - 1, 'v') +
                           ". " + englishPattern(TextDiskSpace);
    EXPECT_EQ(english, expected);
    wchar_t* text = composeErrorText(message, &details, "english");
    EXPECT_EQ(wcslen(text), expected.size() + 2 + strlen(englishPattern(TextOtherCauses)) +
                                strlen(englishPattern(TextSeeLogs)));
    free(text);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 50, 20, parent, (HMENU)104,
                                   nullptr, nullptr);
    selectControlIdCharType(parent, 104, "german");
    EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), 0);
    selectControlIdCharType(parent, 104, "Japanese");
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    LOGFONTA info;
    ASSERT_TRUE(font && GetObjectA(font, sizeof info, &info));
    EXPECT_EQ(info.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_LT(info.lfHeight, 0);
    DestroyWindow(parent);
}
