// JvmRegistration: the copies of a current runtime environment's programs into
// the Windows directory, where programs that look for a JVM in the search
// path find them. An existing file is never replaced.
//
// They are made only for a JVM registered for every user (a run that may
// write Program Files): a copy finds its JVM through that registration, and
// a JVM registered for one user alone would be missing for all the others,
// who are not to run programs from one user's folders anyway.
#include "jvm/jvmregistration.h"
#include "base/disknames.h"

#include "base/filecopy.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/textline.h"

#include <string.h>

static const char JreEntry[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char Jre11Version[] = "1.1";
static const char CurrentVersionValue[] = "CurrentVersion";

bool JvmRegistration::copyJreFilesToWindowsDir(const char* base, const char* jvmHome,
                                               const char* jvmCommandName) {
    if (registryRoot != HKEY_LOCAL_MACHINE) {
        trace("no program copies into the Windows directory: the JVM is its user's alone");
        return true;
    }
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, JreEntry, KEY_QUERY_VALUE | registryView) != ERROR_SUCCESS)
        return true;
    char currentVersion[PathBufferSize];
    key.readValue(CurrentVersionValue, currentVersion, sizeof currentVersion);
    key.close();
    if (strcmp(base, currentVersion) != 0) return true;
    // Without a Windows directory the copies would land at a drive's root.
    if (!windowsDir[0]) {
        trace("no Windows directory to copy jvm files to");
        return true;
    }

    // Each program gets its console or windowless twin.
    char program[PathBufferSize];
    copyText(program, jvmCommandName);
    char* extension = strstr(program, ExeExtension);
    if (extension) *extension = '\0';
    const char* partner;
    if (startsWith(base, Jre11Version))
        partner = strcmp(program, JrewProgram) == 0 ? JreExe : JrewExe;
    else
        partner = strcmp(program, JavawProgram) == 0 ? JavaExe : JavawExe;

    char from[PathBufferSize], to[PathBufferSize];
    const char* names[] = {jvmCommandName, partner};
    for (const char* name : names) {
        if (formatText(from, sizeof from, "%s%s%s%s%s", jvmHome, PathSeparator, BinFolder,
                       PathSeparator, name) &&
            formatText(to, sizeof to, "%s%s%s", windowsDir, PathSeparator, name))
            copyJvmFile(from, to);
    }
    if (formatText(from, sizeof from, "%s%s%s%s%s", jvmHome, PathSeparator, BinFolder,
                   PathSeparator, RuntimeDllFile) &&
        formatText(to, sizeof to, "%s%s%s%s%s", windowsDir, PathSeparator, SystemFolder,
                   PathSeparator, RuntimeDllFile))
        copyJvmFile(from, to);
    return true;
}

bool JvmRegistration::copyJvmFile(const char* from, const char* to) {
    if (!fexists(from)) {
        trace("unable to copy file from", from);
        trace("                      to", to);
        return false;
    }
    if (fexists(to)) return true;  // an existing file is never replaced
    if (copyFile(from, to)) return true;
    // The program works without its copy: the JVM is registered all the same.
    trace("program copy skipped, the Windows directory refused", to);
    return false;
}
