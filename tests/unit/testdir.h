// Test support on the real file system: a scratch directory for one test (current while it lives),
// whole-file reads and writes, tree helpers and the texts of a log file.
#ifndef TESTS_UNIT_TESTDIR_H
#define TESTS_UNIT_TESTDIR_H

#include <string>
#include <vector>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return dir; }
    std::string file(const char* name) const { return dir + "\\" + name; }

private:
    std::string dir;
    std::string saved;
};

// Whole contents of a file ("" when missing).
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// True when path exists (file or directory).
bool exists(const std::string& path);
// Makes every missing level of a directory path.
void makeDirs(const std::string& path);
// The texts of a log file's lines, time stamps dropped.
std::vector<std::string> logLines(const std::string& path);
// The same texts, each ended by "\n".
std::string logText(const std::string& path);

#endif
