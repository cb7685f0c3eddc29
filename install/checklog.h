// CheckLog: the findings of a package check written where the author reads
// them: "check.log" in the package directory (made anew for each check) and,
// when one is given, a console.
#ifndef INSTALL_CHECKLOG_H
#define INSTALL_CHECKLOG_H

#include "install/packagecheck.h"

#include <windows.h>
#include <stdio.h>

class CheckLog : public CheckFindings {
public:
    // console: the handle of a console to repeat the lines on (null: none).
    CheckLog(const char* packageDir, HANDLE console);
    ~CheckLog();
    CheckLog(const CheckLog&) = delete;
    CheckLog& operator=(const CheckLog&) = delete;

    // Whether check.log could be made.
    bool isOpen() const { return file != nullptr; }
    void found(bool error, const char* line) override;
    // The closing line: how many errors and notes, and the verdict.
    void close(bool sound);

private:
    void write(const char* line);

    FILE* file;
    HANDLE console;
    unsigned errors = 0, notes = 0;
};

#endif
