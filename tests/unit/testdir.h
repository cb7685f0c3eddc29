// A scratch directory for one test: created under the temp directory, made
// current for the test, deleted afterwards.
#ifndef TESTS_UNIT_TESTDIR_H
#define TESTS_UNIT_TESTDIR_H

#include <string>

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

#endif
