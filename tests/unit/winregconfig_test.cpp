// The control file's "configureWinRegistry" switch, as every class that registers a JVM reads it
// (native.properties when there is no control file).
#include "jvm/extractjvm.h"
#include "jvm/runjvminstaller.h"
#include "testdir.h"

#include <gtest/gtest.h>

#include <string>

TEST(ConfigureWinRegistry, ReadFromTheControlFile) {
    struct Case {
        const char* control;     // null: no control file
        const char* properties;  // null: no properties file
        bool answer;
    } cases[] = {
        {"configureWinRegistry=false\n", nullptr, false},
        {"configureWinRegistry=no\n", nullptr, false},
        {"configureWinRegistry=0\n", nullptr, false},
        {"configureWinRegistry=\n", nullptr, false},
        {"configureWinRegistry=TRUE\n", nullptr, true},
        {"a=b\nconfigureWinRegistry=Yes\n", nullptr, true},
        {"jvmVersion=1.6.0\n", nullptr, true},
        {nullptr, nullptr, true},
        {nullptr, "configureWinRegistry=no\n", false},
        {"configureWinRegistry=yes\nconfigureWinRegistry=no\n", nullptr, true},
        // Regression: the key alone made the reader look past the line's end.
        {"configureWinRegistry\n", nullptr, false},
        // The rest of an overlong line is not a line of its own.
        {nullptr, nullptr, true},
    };
    std::string overlong = "comment=" + std::string(990, 'x') + "configureWinRegistry=no\n";
    cases[11].control = overlong.c_str();
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.control) writeFile(dir.file("kiv.control"), c.control);
        if (c.properties) writeFile(dir.file("native.properties"), c.properties);
        std::string label = c.control ? c.control : (c.properties ? c.properties : "none");
        EXPECT_EQ(ExtractJvm().configureWinReg(), c.answer) << label;
        EXPECT_EQ(RunJvmInstaller().configureWinReg(), c.answer) << label;
    }
}
