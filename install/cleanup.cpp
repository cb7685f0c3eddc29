// Install: clean-up of the work directory, and the start directory.
//
// For now the clean-up leaves the work directory as it is; only the start
// directory is read, which the process entry needs to decide whether the
// clean-up program is to be started.
#include "install/installer.h"
#include "base/fexists.h"

#include <stdio.h>
#include <string.h>

static const char OriginalDirFilename[] = "startdir.txt";

enum { StartLineLimit = 5000 };

void Install::cleanUp(unsigned char succeeded) { cleanUpManifest(succeeded); }

void Install::cleanUpManifest(unsigned char) {}

void Install::cleanUpJvmDir() {}

void Install::cleanUpErrorsLog() {}

void Install::cleanUpLogFiles() {}

void Install::_cleanUpLogFiles(char*) {}

bool Install::isDirWriteProtected(char*) { return true; }

void getStartDir(char* start) {
    start[0] = '\0';
    if (!fexists(OriginalDirFilename)) return;
    FILE* file = fopen(OriginalDirFilename, "rt");
    if (!file) return;
    if (!fgets(start, StartLineLimit, file)) start[0] = '\0';
    fclose(file);
    size_t length = strlen(start);
    while (length > 1 && (start[length - 1] == ' ' || start[length - 1] == '\n' ||
                          start[length - 1] == '\r'))
        start[--length] = '\0';
}
