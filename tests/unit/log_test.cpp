// Logging and tracing: line formats, conditional tracing, the console echo.
#include "base/trace.h"
#include "base/winvers.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "testdir.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <io.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

// The lines of a log with their 24-character time stamp and blank removed;
// each stamp is checked against the asctime layout on the way.
static std::vector<std::string> logLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string content = readFile(path);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) break;
        std::string line = content.substr(start, end - start);
        EXPECT_GE(line.size(), 25u);
        // "Fri Jan 25 14:03:07 2013 "
        EXPECT_EQ(line[3], ' ');
        EXPECT_EQ(line[7], ' ');
        EXPECT_EQ(line[13], ':');
        EXPECT_EQ(line[16], ':');
        EXPECT_EQ(line[24], ' ');
        lines.push_back(line.size() > 25 ? line.substr(25) : "");
        start = end + 2;
    }
    return lines;
}

TEST(Log, LineFormsOfEveryOverload) {
    ScratchDir dir;
    Log log;
    log.logMessage("x.log", "plain");
    log.logMessage("x.log", "count", -1);
    log.logMessage("x.log", "install ok", false);
    log.logMessage("x.log", "install ok", true);
    log.logMessage("x.log", "jvmName", "JRE");
    log.logMessage("x.log", "empty", "");
    std::string longText(7000, 'w');
    log.logMessage("x.log", longText.c_str(), longText.c_str());

    std::vector<std::string> expected = {"plain", "count: -1", "install ok: false",
                                         "install ok: true", "jvmName JRE", "empty ",
                                         longText + " " + longText};
    EXPECT_EQ(logLines("x.log"), expected);
}

TEST(Trace, WritesOnlyWhileTheTraceFileExists) {
    ScratchDir dir;
    Trace trace;
    trace.traceMessage("jinstall.log", "nothing");
    trace.traceMessage("jinstall.log", "nothing", 1);
    trace.traceMessage("jinstall.log", "nothing", true);
    trace.traceMessage("jinstall.log", "nothing", "x");
    EXPECT_EQ(_access("jinstall.log", 0), -1);

    trace.logAndTraceMessage("errors.log", "jinstall.log", "failed");
    EXPECT_EQ(logLines("errors.log"), std::vector<std::string>{"failed"});
    EXPECT_EQ(_access("jinstall.log", 0), -1);

    writeFile("jinstall.log", "");
    trace.traceMessage("jinstall.log", "step", 3);
    trace.logAndTraceMessage("errors.log", "jinstall.log", "bad", "detail");
    trace.logAndTraceMessage("errors.log", "jinstall.log", "ok", false);
    EXPECT_EQ(logLines("jinstall.log"),
              (std::vector<std::string>{"step: 3", "bad detail", "ok: false"}));
    EXPECT_EQ(logLines("errors.log"),
              (std::vector<std::string>{"failed", "bad detail", "ok: false"}));
}

TEST(Log, UnwritableFileIsSkippedSilently) {
    ScratchDir dir;
    CreateDirectoryA("adir", nullptr);
    Log().logMessage("adir", "lost");
    Log().logMessage("missing\\x.log", "lost");
    EXPECT_EQ(_access("missing", 0), -1);
}

TEST(Log, TermLogEchoesTheSameLineToStdout) {
    ScratchDir dir;
    writeFile("term.log", "");
    // Capture stdout into a file for the duration of the call.
    fflush(stdout);
    int saved = _dup(_fileno(stdout));
    FILE* capture = fopen("stdout.txt", "wb");
    _dup2(_fileno(capture), _fileno(stdout));
    Log().logMessage("x.log", "echoed");
    fflush(stdout);
    _dup2(saved, _fileno(stdout));
    _close(saved);
    fclose(capture);

    std::string line = readFile("x.log");
    std::string echoed = readFile("stdout.txt");
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(echoed.substr(0, 24), line.substr(0, 24));
    EXPECT_NE(echoed.find(" echoed"), std::string::npos);
}

TEST(WinVersion, NtFamilyAskedOnce) {
    WinVersion version;
    EXPECT_TRUE(version.winNT());
    EXPECT_TRUE(version.winNT());
}

TEST(RegKey, ValueTooLongForTheBufferCountsAsAbsent) {
    const char* path = "SOFTWARE\\LauncherTest\\RegKey";
    RegKey key;
    ASSERT_EQ(key.create(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS), ERROR_SUCCESS);
    std::string big(6000, 'v');
    RegSetValueExA(key.get(), "big", 0, REG_SZ, (const BYTE*)big.c_str(), (DWORD)big.size() + 1);
    RegSetValueExA(key.get(), "small", 0, REG_SZ, (const BYTE*)"C:\\jre", 7);
    // A value stored without its terminator still reads as a terminated text.
    RegSetValueExA(key.get(), "bare", 0, REG_BINARY, (const BYTE*)"abc", 3);
    key.close();

    char buffer[PathBufferSize];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, path, "big", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(readRegistryText(HKEY_CURRENT_USER, path, "small", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\jre");
    memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(readRegistryText(HKEY_CURRENT_USER, path, "bare", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, path, "missing", buffer, sizeof buffer));
    EXPECT_FALSE(readRegistryText(HKEY_CURRENT_USER, "SOFTWARE\\LauncherTest\\None", "x", buffer,
                                  sizeof buffer));
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\LauncherTest");
}
