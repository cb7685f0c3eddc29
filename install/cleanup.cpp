// Install: clean-up of the work directory at the end of every run, and the
// start directory.
//
// Clean-up removes what the package and the launcher left in the work
// directory and no longer need (the files the package manifest names, the
// wizard, the properties, the change record), removes a JVM that was only
// installed into a temporary directory, drops an empty error log and appends
// the logs to files in the directory the installation was started from, so
// that they outlive the work directory.
//
// Deleting is kept on a short leash: a manifest name is deleted only when it
// names a file inside the work directory, and the temporary JVM directory
// read back from "native.properties" (which the wizard may have rewritten)
// is deleted only when it is an absolute directory below a drive or share
// root that neither is nor holds the work directory or the Windows
// directory. Every line is read whole into a bounded buffer; a line too long
// for its buffer is skipped as a whole, never taken in pieces.
#include "install/installer.h"
#include "base/dirguard.h"
#include "base/clib.h"
#include "base/codepage.h"
#include "base/fexists.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "jvm/extractjvm.h"

#include <windows.h>
#include <direct.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char DIR_END[] = "\\";
static const char OriginalDirFilename[] = "startdir.txt";
static const char SystemLogFilename[] = "changes.txt";
static const char NativePropertiesFilename[] = "native.properties";
static const char TempTraceFilename[] = "jinstall.sem";
static const char TraceFilename[] = "jinstall.log";
static const char ErrorsFilename[] = "errors.log";
static const char ExpansionLogFilename[] = "kivpand.log";
static const char ManifestDir[] = "META-INF";
static const char ManifestFilename[] = "META-INF\\MANIFEST.MF";
static const char WizardFilename[] = "install.jar";
static const char WriteTestFilename[] = "__kivtest.zos";
static const char BinDir[] = "bin";
static const char AppDirVariable[] = "[$AppDir]";
static const char ManifestNameTag[] = "Name: ";

static const char NativeJvmHomeDir[] = "nativeJvmHomeDir";
static const char NativeJvmInstalledInTemp[] = "nativeJvmInstalledInTemp";
static const char NativeTempJvmDir[] = "nativeTempJvmDir";
static const char ConfigureRegistryField[] = "configureWinRegistry";

enum {
    LineBufferSize = 1001,
    ManifestLineLimit = 999,    // characters of a manifest line
    PropertiesLineLimit = 998,  // characters of a properties line
    StartLineLimit = 5000       // getStartDir reads at most 4999 characters
};

static bool registerTemporaryJvm(Install& install, char* jvmHome);

// ---------------------------------------------------------------------------
// Lines and paths

// Reads one line of any length. At most limit characters are kept in line
// (which holds limit + 1 bytes), without the line feed; whole tells whether
// the line fitted. False at the end of the file.
static bool readLine(FILE* file, char* line, size_t limit, bool* whole) {
    size_t length = 0;
    bool any = false;
    *whole = true;
    int c;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < limit)
            line[length++] = (char)c;
        else
            *whole = false;
    }
    line[length] = '\0';
    return any;
}

// True when a manifest name stays inside the work directory: relative, no
// drive or stream (no colon), no UNC or root-relative start and no
// component that climbs out ("..", or dots and blanks that Windows reads as
// "..").
static bool isInsideName(const char* name) {
    if (!name[0] || isSeparator(name[0]) || strchr(name, ':')) return false;
    const char* at = name;
    while (*at) {
        while (isSeparator(*at)) ++at;
        const char* start = at;
        unsigned dots = 0;
        bool onlyDots = true;
        for (; *at && !isSeparator(*at); ++at) {
            if (*at == '.')
                ++dots;
            else if (*at != ' ')
                onlyDots = false;
        }
        if (at > start && onlyDots && dots >= 2) return false;
    }
    return true;
}


// ---------------------------------------------------------------------------
// The whole clean-up

void Install::cleanUp(unsigned char succeeded) {
    cleanUpManifest(succeeded);
    cleanUpJvmDir();
    cleanUpErrorsLog();
    cleanUpLogFiles();
    remove(SystemLogFilename);
    remove(OriginalDirFilename);
    remove(NativePropertiesFilename);
}

// ---------------------------------------------------------------------------
// Package files

// Deletes the file that one manifest entry names, if the entry is a "Name: "
// entry for a file inside the work directory.
static void deleteManifestEntry(Install& install, char* entry, bool whole) {
    size_t tagLength = strlen(ManifestNameTag);
    if (strncmp(entry, ManifestNameTag, tagLength) != 0) return;
    char* name = entry + tagLength;
    if (!whole) {
        install.traceMessage(TraceFilename, "manifest entry too long, not deleted:", name);
        return;
    }
    trimLineEnd(name, 1);
    if (name[0] == '\0' || strspn(name, " ") == strlen(name)) return;
    if (!isInsideName(name)) {
        install.traceMessage(TraceFilename,
                             "manifest entry outside the work directory, not deleted:", name);
        return;
    }
    for (char* c = name; *c; ++c)
        if (*c == '/') *c = '\\';
    remove(name);
}

void Install::cleanUpManifest(unsigned char succeeded) {
    FILE* file = fopen(ManifestFilename, "rt");
    if (file) {
        // A manifest wraps long entries: a line that begins with one blank
        // continues the entry before it.
        char line[LineBufferSize];
        char entry[PathBufferSize];
        bool haveEntry = false;
        bool entryWhole = true;
        bool lineWhole;
        while (readLine(file, line, ManifestLineLimit, &lineWhole)) {
            size_t length = strlen(line);
            while (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
            if (haveEntry && line[0] == ' ') {
                if (!lineWhole || !appendText(entry, line + 1)) entryWhole = false;
                continue;
            }
            if (haveEntry) deleteManifestEntry(*this, entry, entryWhole);
            haveEntry = true;
            entryWhole = lineWhole;
            copyText(entry, line);
        }
        if (haveEntry) deleteManifestEntry(*this, entry, entryWhole);
        fclose(file);
    }
    remove(ManifestFilename);
    _rmdir(ManifestDir);
    remove(WizardFilename);

    if (fexists(TempTraceFilename)) {
        remove(TempTraceFilename);
        if (succeeded)
            remove(TraceFilename);
        else
            traceMessage(TraceFilename, "install ok", false);
    }
}

// ---------------------------------------------------------------------------
// Temporary JVM

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

// Why a temporary JVM directory must not be deleted, or null when it may.
static const char* refusalReason(const char* dir, const char* homeDirectory) {
    if (!isAbsoluteDirPath(dir) || isShareRoot(dir))
        return "not an absolute directory below a drive or share";
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    if (dirNamesOrHolds(dir, current)) return "the work directory or a directory holding it";
    char windows[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) windows[0] = '\0';
    if (dirNamesOrHolds(dir, homeDirectory) || dirNamesOrHolds(dir, windows))
        return "the Windows directory or a directory holding it";
    return nullptr;
}

void Install::cleanUpJvmDir() {
    FILE* file = fopen(NativePropertiesFilename, "rt");
    if (!file) return;

    char jvmHome[LineBufferSize] = "";
    char installedInTemp[LineBufferSize] = "";
    char tempDir[LineBufferSize] = "";
    bool registerJvm = true;

    char line[LineBufferSize];
    bool whole;
    while (readLine(file, line, PropertiesLineLimit, &whole)) {
        if (!whole) {
            // A piece of a line could read as a key of its own.
            traceMessage(TraceFilename, "properties line too long, ignored");
            continue;
        }
        fromPropertyEscapes(line, sizeof line);
        normaliseProperty(line);
        const char* value;
        if ((value = propertyValue(line, NativeJvmHomeDir))) {
            copyText(jvmHome, value);
            traceMessage(TraceFilename, "jvmLocation", jvmHome);
        } else if ((value = propertyValue(line, NativeJvmInstalledInTemp))) {
            copyText(installedInTemp, value);
            traceMessage(TraceFilename, "jvmInstalledInTemp", installedInTemp);
        } else if ((value = propertyValue(line, NativeTempJvmDir))) {
            copyText(tempDir, value);
            traceMessage(TraceFilename, "tempJvmDir", tempDir);
        } else if ((value = propertyValue(line, ConfigureRegistryField))) {
            registerJvm = _stricmp(value, "true") == 0 || _stricmp(value, "yes") == 0;
            traceMessage(TraceFilename, "configureReg", registerJvm);
        }
    }
    fclose(file);
    if (_stricmp(installedInTemp, "true") != 0) return;

    if (!tempDir[0]) copyText(tempDir, jvmHome);

    if (registerJvm) {
        if (predefinedJvmInstallDir[0] &&
            strncmp(predefinedJvmInstallDir, AppDirVariable, strlen(AppDirVariable)) == 0) {
            traceMessage(TraceFilename, "not adding reg entries", predefinedJvmInstallDir);
        } else if (dirNamesOrHolds(tempDir, jvmHome)) {
            // The JVM is about to be deleted: registry entries and program
            // copies would point at nothing.
            traceMessage(TraceFilename, "not adding reg entries for a jvm being deleted", jvmHome);
        } else if (!jvmVersion[0]) {
            // Without the control file's version the entries would go under
            // an empty version key.
            traceMessage(TraceFilename, "not adding reg entries without a jvm version", jvmHome);
        } else {
            registerTemporaryJvm(*this, jvmHome);
        }
    }

    const char* reason = refusalReason(tempDir, homeDirectory);
    if (reason) {
        traceMessage(TraceFilename, "not deleting temporary jvm directory", tempDir);
        traceMessage(TraceFilename, "reason:", reason);
        return;
    }
    if (!delDirTree(tempDir)) {
        char message[LineBufferSize + 32];
        formatText(message, sizeof message, "Warning: Unable to delete %s", tempDir);
        traceMessage(TraceFilename, message);
    }
    char bin[LineBufferSize + 8];
    if (formatText(bin, sizeof bin, "%s%s%s", tempDir, DIR_END, BinDir)) _rmdir(bin);
    removeEmptyDirPatiently(tempDir);
}

// ---------------------------------------------------------------------------
// Logs

// True when the file can be opened and holds no byte.
static bool isEmptyFile(const char* name) {
    FILE* file = fopen(name, "rb");
    if (!file) return false;
    bool empty = fseek(file, 0, SEEK_END) == 0 && ftell(file) == 0;
    fclose(file);
    return empty;
}

void Install::cleanUpErrorsLog() {
    if (isEmptyFile(ErrorsFilename)) remove(ErrorsFilename);
}

// The start directory as getStartDir reads it; false when there is none or
// its line is too long to be taken whole.
static bool readStartDir(Install& install, char* start) {
    start[0] = '\0';
    FILE* file = fopen(OriginalDirFilename, "rt");
    if (!file) return false;
    bool whole = true;
    bool read = readLine(file, start, StartLineLimit - 1, &whole);
    fclose(file);
    if (!read) return false;
    if (!whole) {
        install.traceMessage(TraceFilename, "start directory too long, logs not copied");
        start[0] = '\0';
        return false;
    }
    trimLineEnd(start, 1);
    fromLegacyCodePage(start, StartLineLimit);
    return start[0] != '\0';
}

void Install::cleanUpLogFiles() {
    if (!fexists(OriginalDirFilename)) return;
    char start[PathBufferSize];
    if (!readStartDir(*this, start)) return;
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    if (!fexists(start) || sameDirectory(start, current)) return;

    char* target = start;
    if (isDirWriteProtected(start) && !isDirWriteProtected(homeDirectory)) target = homeDirectory;
    traceMessage(TraceFilename, "copying log files to", target);
    _cleanUpLogFiles(target);
}

void Install::_cleanUpLogFiles(char* target) {
    if (!target || !target[0]) return;
    char current[PathBufferSize];
    getCurrentDir(current, PathBufferSize - 1);
    // Appending the logs to themselves would only double them.
    if (sameDirectory(target, current)) return;
    char pattern[PathBufferSize + 8];
    if (!formatText(pattern, sizeof pattern, "%s%s*.log", current, DIR_END)) return;

    struct _finddata_t entry;
    intptr_t find = _findfirst(pattern, &entry);
    if (find == -1) return;

    size_t targetLength = strlen(target);
    const char* separator = isSeparator(target[targetLength - 1]) ? "" : DIR_END;
    size_t size = targetLength + sizeof entry.name + 2;
    char* destination = (char*)malloc(size);
    if (destination) {
        do {
            const char* name = entry.name;
            if (isDotEntry(name)) continue;
            if (strcmp(name, ExpansionLogFilename) == 0 && isEmptyFile(name)) continue;
            formatText(destination, size, "%s%s%s", target, separator, name);
            if (!appendFile(name, destination))
                traceMessage(TraceFilename, "unable to copy log file", destination);
            if (strcmp(name, ErrorsFilename) == 0 && !fexists(destination))
                showError("Unable to save errors.log",
                          "Try installing from a non-write protected drive.");
        } while (_findnext(find, &entry) == 0);
        free(destination);
    }
    _findclose(find);
}

bool Install::isDirWriteProtected(char* directory) {
    if (!directory || !directory[0]) return true;
    size_t length = strlen(directory);
    size_t size = length + sizeof WriteTestFilename + 2;
    char* probe = (char*)malloc(size);
    if (!probe) return true;
    formatText(probe, size, "%s%s%s", directory, isSeparator(directory[length - 1]) ? "" : DIR_END,
               WriteTestFilename);
    bool writeProtected = true;
    FILE* file = fopen(probe, "wt");
    if (file) {
        fputs("ok", file);
        fseek(file, 0, SEEK_END);
        writeProtected = ftell(file) < 1;
        fclose(file);
        remove(probe);
    }
    free(probe);
    return writeProtected;
}

// ---------------------------------------------------------------------------
// Start directory

void getStartDir(char* start) {
    start[0] = '\0';
    if (!fexists(OriginalDirFilename)) return;
    FILE* file = fopen(OriginalDirFilename, "rt");
    if (!file) return;
    if (!fgets(start, StartLineLimit, file)) start[0] = '\0';
    fclose(file);
    trimLineEnd(start, 1);
    fromLegacyCodePage(start, StartLineLimit);
}

// ---------------------------------------------------------------------------
// Registration of the JVM that "native.properties" names, before its
// temporary directory goes: the JVM configuration of a newly expanded JVM,
// with registration asked for. Its outcome is not looked at.

static bool registerTemporaryJvm(Install& install, char* jvmHome) {
    char jvmDir[PathBufferSize];
    copyText(jvmDir, jvmHome);
    ExtractJvm extract;
    extract.setHwnd(hDlgMain);
    return extract.configureJvm(install.jvmVersion, install.jvmName, install.jvmCommandName,
                                jvmDir, install.homeDirectory, true);
}
