// Test support on the real file system: a scratch directory for one test (current while it lives),
// whole-file reads ("" when missing) and writes, tree helpers and a log's texts without times.
#ifndef TESTS_UNIT_TESTDIR_H
#define TESTS_UNIT_TESTDIR_H

#include "base/disknames.h"

#include <string>

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

// A user channel that shows nothing.
class UserChannel;
UserChannel& quietChannel();

#endif
