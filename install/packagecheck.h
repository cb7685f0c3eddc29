// The package check: what a package author's mistakes in a package directory
// would do to a run, found before any run. The control file "kiv.control" is
// read as a run reads it, and every line of it that a run would ignore or
// misread, every value a run would not take as meant, and every file it
// names that is not there becomes a finding. Nothing is started and nothing
// in the directory is changed.
#ifndef INSTALL_PACKAGECHECK_H
#define INSTALL_PACKAGECHECK_H

#include <stddef.h>

// Where the findings go, one line each, in the order they are found.
class CheckFindings {
public:
    // error: the package is unsound (a run would fail, or would not do what
    // the file says); otherwise a note. line starts with "error: " or
    // "note: " and has no line end.
    virtual void found(bool error, const char* line) = 0;

protected:
    ~CheckFindings() {}
};

// Checks the package in directory packageDir. True when the package is
// sound: no finding was an error.
bool checkPackage(const char* packageDir, CheckFindings& findings);

// Which JVM of this machine a run in packageDir would take, and why, or why
// none: the search of a run, with its test runs made in a private temporary
// directory (the test class writes its answer where it runs), so that
// nothing in packageDir changes. Notes only: what this machine has says
// nothing about the package.
void checkMachineJvm(const char* packageDir, CheckFindings& findings);

// The distance between two words without regard to case: the fewest
// letters inserted, removed, replaced or swapped with their neighbour that
// turn one into the other.
unsigned wordDistance(const char* first, const char* second);

// Of the names, the one that word most likely meant (null when none is
// close enough to be a slip of the hand).
const char* likelyName(const char* word, const char* const* names, size_t count);

#endif
