// Test support on the real file system: a scratch directory for one test (current while it lives),
// whole-file reads ("" when missing) and writes, tree helpers and a log's texts without times.
#ifndef TESTS_UNIT_TESTDIR_H
#define TESTS_UNIT_TESTDIR_H

#include "base/disknames.h"

#include <string>
#include <vector>

struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return dir; }
    std::string file(const char* name) const { return dir + "\\" + name; }
    std::string dir, saved;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool exists(const std::string& path);
void makeDirs(const std::string& path);
std::string logText(const std::string& path);
// What a pattern ("dir\\*") finds, sorted, without "." and "..", folders with a trailing backslash.
std::vector<std::string> listing(const std::string& pattern);

#endif
