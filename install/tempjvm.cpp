// TemporaryJvm: removal of a JVM that was installed into a temporary
// directory only, as "native.properties" reports it at the end of the run.
//
// The wizard may have rewritten the properties, so what they name is held
// on a short leash: only the directory this run made for the JVM it
// installed (madeDir, the launcher's own record) is ever deleted, and
// only when the properties name it or a directory inside it, and when
// deletionRefusal finds nothing against either (an absolute directory below
// a drive or share root that neither is nor holds the work directory, the
// Windows directory or the start directory, by name or by identity). A
// directory that was there before the run is never deleted. A directory
// that is itself a link or junction is removed as a link, never followed. A
// properties line too long for its buffer is skipped as a whole: a piece of
// it could read as a key of its own.
#include "install/tempjvm.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/deltree.h"
#include "base/codepage.h"
#include "base/dirguard.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "config/startdir.h"
#include "base/bitness.h"
#include "jvm/jvmregistration.h"
#include "jvm/stagedjvm.h"

#include <direct.h>
#include <string.h>


enum {
    LineBufferSize = 1001,
    PropertiesLineLimit = 998  // characters of a properties line
};

// The value of a "key=value" line, or null when the line is not of key.
static const char* propertyValue(const char* line, const char* key) {
    size_t length = strlen(key);
    if (strncmp(line, key, length) != 0 || line[length] != '=') return nullptr;
    return line + length + 1;
}

// Every "/" becomes a backslash; every backslash of the line goes (so an
// escaped drive colon reads plainly and a path written with forward slashes
// becomes a Windows path).
static void normaliseProperty(char* line) {
    char* to = line;
    for (const char* from = line; *from; ++from) {
        if (*from == '\\') continue;
        *to++ = *from == '/' ? '\\' : *from;
    }
    *to = '\0';
}

// What "native.properties" says of a JVM installed for the run only.
struct TempJvmRecord {
    char jvmHome[LineBufferSize] = "";
    char installedInTemp[LineBufferSize] = "";
    char tempDir[LineBufferSize] = "";
    bool registerJvm = true;
};

// Reads the properties into record; false when there are none.
static bool readTempJvmRecord(TempJvmRecord& record) {
    LineReader properties(NativePropertiesFile, textLines(PropertiesLineLimit));
    if (!properties.isOpen()) return false;
    char line[LineBufferSize];
    bool whole;
    while (properties.read(line, &whole)) {
        if (!whole) {
            // A piece of a line could read as a key of its own.
            trace("properties line too long, ignored");
            continue;
        }
        fromPropertyEscapes(line, sizeof line);
        normaliseProperty(line);
        const char* value;
        if ((value = propertyValue(line, NativeJvmHomeDirKey))) {
            copyText(record.jvmHome, value);
            trace("jvmLocation", record.jvmHome);
        } else if ((value = propertyValue(line, NativeJvmInstalledInTempKey))) {
            copyText(record.installedInTemp, value);
            trace("jvmInstalledInTemp", record.installedInTemp);
        } else if ((value = propertyValue(line, NativeTempJvmDirKey))) {
            copyText(record.tempDir, value);
            trace("tempJvmDir", record.tempDir);
        } else if ((value = propertyValue(line, ConfigureWinRegistryKey))) {
            record.registerJvm = _stricmp(value, "true") == 0 || _stricmp(value, "yes") == 0;
            trace("configureReg", record.registerJvm);
        }
    }
    return true;
}

// Deletes the directory this run made for its JVM (madeJvmDir) when the
// properties' tempDir is it or lies inside it and nothing speaks against
// either.
static void deleteTemporaryJvm(const char* tempDir, const char* madeJvmDir,
                               const char* windowsDir) {
    char start[PathBufferSize];
    readStartDir(start, sizeof start);
    const char* reason = deletionRefusal(tempDir, windowsDir, start);
    if (!reason && !madeJvmDir[0]) reason = "this run made no directory for a jvm";
    if (!reason && !dirNamesOrHolds(madeJvmDir, tempDir))
        reason = "not the directory this run made for its jvm";
    if (!reason) reason = deletionRefusal(madeJvmDir, windowsDir, start);
    if (reason) {
        trace("not deleting temporary jvm directory", tempDir);
        trace("reason:", reason);
        if (madeJvmDir[0]) trace("temporary jvm left in", madeJvmDir);
        return;
    }
    // The whole directory made for the JVM goes, whatever part of it the
    // properties name.
    const char* dir = madeJvmDir;
    if (isLinkItself(dir)) {
        // Only the link goes; its target and whatever is below it stay.
        trace("temporary jvm directory is a link, removing the link", dir);
        if (!delDirTree(dir)) trace("unable to remove the link", dir);
        return;
    }
    trace("deleting temporary jvm directory", dir);
    if (!delDirTree(dir)) {
        char message[PathBufferSize + 32];
        formatText(message, sizeof message, "Warning: Unable to delete %s", dir);
        trace(message);
    }
    char bin[PathBufferSize + 8];
    if (formatText(bin, sizeof bin, "%s%s%s", dir, PathSeparator, BinFolder)) _rmdir(bin);
    removeEmptyDirPatiently(dir);
}

void TemporaryJvm::cleanUp() const {
    TempJvmRecord record;
    if (!readTempJvmRecord(record)) return;
    if (_stricmp(record.installedInTemp, "true") != 0) return;
    char* tempDir = record.tempDir;
    char* jvmHome = record.jvmHome;
    if (!tempDir[0]) copyText(record.tempDir, record.jvmHome);

    if (record.registerJvm) {
        if (startsWith(settings.predefinedJvmInstallDir, AppDirVariable)) {
            trace("not adding reg entries", settings.predefinedJvmInstallDir);
        } else if (dirNamesOrHolds(tempDir, jvmHome)) {
            // The JVM is about to be deleted: registry entries and program
            // copies would point at nothing.
            trace("not adding reg entries for a jvm being deleted", jvmHome);
        } else if (!settings.jvmVersion[0]) {
            // Without the control file's version the entries would go under
            // an empty version key.
            trace("not adding reg entries without a jvm version", jvmHome);
        } else {
            enterInRegistry(jvmHome);
        }
    }
    deleteTemporaryJvm(tempDir, madeDir, windowsDir);
}

// Registration of the JVM that "native.properties" names, before its
// temporary directory goes, registered only when the control file's switch,
// read at the start, is on as well as the properties'. Its outcome is not
// looked at.
void TemporaryJvm::enterInRegistry(const char* jvmHome) const {
    char program[PathBufferSize], name[PathBufferSize];
    if (!findJvmProgram(jvmHome, settings.jvmCommandName, ownTrace, program, name)) {
        reportError("Unable to find JVM executable");
        reportError("Unable to configure JVM in", jvmHome);
        return;
    }
    JvmRegistration registration(windowsDir, settings.configureWinRegistry);
    registration.enter({settings.jvmVersion, settings.jvmName, name, jvmHome,
                        programBits(program, ownBits())});
}
