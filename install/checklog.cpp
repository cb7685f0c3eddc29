// CheckLog: one finding a line, CR LF ended, in check.log and on the console.
#include "install/checklog.h"
#include "base/disknames.h"
#include "base/strbuf.h"

#include <string.h>


CheckLog::CheckLog(const char* packageDir, HANDLE console) : file(nullptr), console(console) {
    char path[PathBufferSize + 16];
    if (formatText(path, sizeof path, "%s\\%s", packageDir && packageDir[0] ? packageDir : ".",
                   PackageCheckLog))
        file = fopen(path, "wb");
    if (this->console == INVALID_HANDLE_VALUE) this->console = nullptr;
}

CheckLog::~CheckLog() {
    if (file) fclose(file);
}

void CheckLog::write(const char* line) {
    if (file) fprintf(file, "%s\r\n", line);
    if (console) {
        DWORD written = 0;
        WriteFile(console, line, (DWORD)strlen(line), &written, nullptr);
        WriteFile(console, "\r\n", 2, &written, nullptr);
    }
}

void CheckLog::found(bool error, const char* line) {
    ++(error ? errors : notes);
    write(line);
}

void CheckLog::close(bool sound) {
    char line[120];
    formatText(line, sizeof line, "%s: %u error%s, %u note%s",
               sound ? "the package is sound" : "the package is faulty", errors,
               errors == 1 ? "" : "s", notes, notes == 1 ? "" : "s");
    write(line);
    if (file) fclose(file);
    file = nullptr;
}
