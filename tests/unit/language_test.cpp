// Locale detection against the real registry of the test prefix, and the
// texts of the status dialog and the error box.
#include "shell/language.h"
#include "shell/statuswin.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>

static const char IntlKey[] = "Control Panel\\International";

// Sets LocaleName for the test and puts the previous value back afterwards.
class LocaleName {
public:
    LocaleName() {
        char value[512];
        DWORD size = sizeof value;
        had = RegGetValueA(HKEY_CURRENT_USER, IntlKey, "LocaleName", RRF_RT_REG_SZ, nullptr,
                           value, &size) == ERROR_SUCCESS;
        if (had) saved = value;
    }
    ~LocaleName() {
        if (had)
            set(saved);
        else
            remove();
    }
    void set(const std::string& name) {
        RegSetKeyValueA(HKEY_CURRENT_USER, IntlKey, "LocaleName", REG_SZ, name.c_str(),
                        (DWORD)name.size() + 1);
    }
    void remove() { RegDeleteKeyValueA(HKEY_CURRENT_USER, IntlKey, "LocaleName"); }

private:
    bool had;
    std::string saved;
};

static std::string language() {
    char word[1000];
    getLanguage(word);
    return word;
}

#define R "\xEF\xBF\xBD"

// All registry cases in one test: the tests of this suite may run in
// parallel, and the value is shared.
TEST(Language, AliasTableAgainstRegistry) {
    ScratchDir dir;
    LocaleName locale;
    struct Case {
        const char* name;
        const char* language;
    } cases[] = {
        {"French", "french"},        {"FRENCH", "french"},          {"fra", "french"},
        {"frc-english", "french"},   {"frsxyz", "french"},          {"fran" R "ais", "french"},
        {"swiss french", "german"},  {"des", "german"},             {"German", "german"},
        {"alem" R "n", "german"},    {"Spanish", "spanish"},        {"esp", "spanish"},
        {"espa" R "oles", "spanish"}, {"PLK", "polish"},            {"jpn", "japanese"},
        {"ITA", "italian"},          {"italiano", "italian"},       {"ptb", "portuguese"},
        {"portugu" R "ses", "portuguese"}, {"Dutch", "dutch"},
        {"dutch (belgian) xyz", "dutch"}, {"landinstellingen", "dutch"},
        {"fr-FR", "english"},        {"de-DE", "english"},          {"en-US", "english"},
        {"frenchy", "english"},      {"dutchman", "english"},       {"English", "english"},
    };
    for (const Case& c : cases) {
        locale.set(c.name);
        EXPECT_EQ(language(), c.language) << c.name;
    }

    // A value that does not fit its buffer and a missing value give english.
    locale.set("french" + std::string(300, 'x'));
    EXPECT_EQ(language(), "english");
    locale.remove();
    EXPECT_EQ(language(), "english");

    // The initial status text follows the language.
    locale.set("German");
    char text[1000];
    getMessage(nullptr, 104, text);
    EXPECT_STREQ(text, "Bereite Wizard..");
    locale.set("japanese");
    getMessage(nullptr, 104, text);
    EXPECT_STREQ(text, "\rPreparing wizard...");
}

TEST(StatusTexts, ErrorBoxText) {
    struct Case {
        const char* message;
        const char* details;
        const char* language;
        std::string text;
    } cases[] = {
        {"m", "x", "german", "m\r\rx"},
        {"m", nullptr, "english", "m\n\nSee errors.log and jinstall.log files for details."},
        {"m", "", "English", "m\n\nSee errors.log and jinstall.log files for details."},
        {"m", nullptr, "german",
         "m\n\nBitte " R "berpr" R "fen Sie die Dateien errors.log und jinstall.log f" R "r n" R
         "here Angaben zu diesem Problem."},
    };
    for (const Case& c : cases) {
        char* text = composeErrorText(c.message, c.details, c.language);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), c.text) << c.language;
        free(text);
    }
    // A text of any length is held whole.
    std::string longMessage(20000, 'm'), longDetails(30000, 'd');
    char* text = composeErrorText(longMessage.c_str(), longDetails.c_str(), "english");
    EXPECT_EQ(std::string(text), longMessage + "\r\r" + longDetails);
    free(text);
}
