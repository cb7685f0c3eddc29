// Security: the package's Java security files (policies and keystore) are
// copied from the work directory to where the control file says they
// belong, below the JVM just expanded, the user's profile (Java's user.home)
// or the work directory. Nothing here stops the installation: a file that cannot be
// installed is logged in "errors.log" and the next file is tried. A file
// already in place is only ever replaced by a complete new one: the new copy
// is on disk before the old file becomes its backup.
#include "security/security.h"
#include "base/disknames.h"

#include "base/curdir.h"
#include "base/filecopy.h"
#include "base/codepage.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "base/winfolders.h"
#include "config/language.h"

#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>

static const char JavaHomeDirSpec[] = "${java.home}";
static const char UserHomeDirSpec[] = "${user.home}";
static const char JavaIdentityDbField[] = "identity.database=";
static const char WinNtLogonEntry[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

static const char RenameFormat[] = "%s %s identitydb.001";  // the words, the file replaced

enum { LineBufferSize = 2001, LoginNameSize = 5000 };

// Installs one policy file: its setting resolved, then the copy.
static bool installPolicy(Security& security, const char* label, const char* policy,
                          const char* javaHome, bool backup) {
    char fileName[PathBufferSize];
    char destination[PathBufferSize];
    fileName[0] = destination[0] = '\0';
    trace(label, policy);
    if (security.getFilenames(policy, javaHome, fileName, destination))
        return security.copySecurityFile(fileName, destination, backup);
    if (fileName[0] && fexists(fileName))
        trace("unable to get destination", policy);
    return false;
}

bool Security::addSecurity(char* systemPolicy, char* userPolicy, char* keystore,
                           const char* javaHome, const char* windowsDir, bool backup) {
    bool result = true;

    // The system policy is installed the same way as the user policy, in
    // every form of its setting.
    if (systemPolicy && *systemPolicy)
        result = installPolicy(*this, "system security policy", systemPolicy, javaHome, backup);
    if (userPolicy && *userPolicy)
        result = installPolicy(*this, "user security policy", userPolicy, javaHome, backup);

    if (keystore && *keystore) {
        char fileName[PathBufferSize];
        char destination[PathBufferSize];
        fileName[0] = destination[0] = '\0';
        trace("keystore", keystore);
        result = addCertificate(keystore, javaHome, windowsDir, fileName, destination, backup);
    }
    return result;
}

bool Security::getFilenames(const char* setting, const char* javaHome, char* fileName,
                            char* destination) {
    fileName[0] = '\0';
    destination[0] = '\0';
    if (!setting) return false;

    const char* rest;
    const char* base;
    char profile[PathBufferSize];
    bool userHome = false;
    const char* at = strstr(setting, JavaHomeDirSpec);
    if (at) {
        rest = at + strlen(JavaHomeDirSpec);
        base = javaHome;
    } else if ((at = strstr(setting, UserHomeDirSpec)) != nullptr) {
        // A Java program's user.home on Windows is the user's profile.
        rest = at + strlen(UserHomeDirSpec);
        WinFolders folders;
        if (!folders.getUserProfileDirectory(profile)) {
            trace("unable to find the user's profile for", setting);
            return false;
        }
        base = profile;
        userHome = true;
    } else {
        rest = setting;
        base = "";
        if (!strchr(rest, '/')) return false;
    }

    const char* slash = strrchr(rest, '/');
    if (!slash) {
        copyText(fileName, PathBufferSize, rest);
        if (userHome &&
            !formatText(destination, PathBufferSize, "%s%s%s", base, PathSeparator, fileName)) {
            trace("security destination too long", fileName);
            destination[0] = '\0';
            return false;
        }
        return true;
    }

    copyText(fileName, PathBufferSize, slash + 1);
    if (!fexists(fileName)) {
        trace("security file not found", fileName);
        return false;
    }
    char directory[PathBufferSize];
    copyTextN(directory, dimof(directory), rest, (size_t)(slash - rest));
    if (!addDirectories(base, directory)) return false;
    if (!formatText(destination, PathBufferSize, "%s%s%s", directory, PathSeparator, fileName)) {
        trace("security destination too long", directory);
        destination[0] = '\0';
        return false;
    }
    return true;
}

bool Security::addDirectories(const char* base, char* path) {
    char built[PathBufferSize];
    char piece[PathBufferSize];
    copyText(built, base ? base : "");

    const char* next = path;
    while (*next) {
        const char* end = strchr(next, '/');
        size_t length = end ? (size_t)(end - next) : strlen(next);
        if (length > 0) {
            copyTextN(piece, dimof(piece), next, length);
            size_t builtLength = strlen(built);
            bool fits = true;
            if (builtLength > 0 && built[builtLength - 1] != '\\')
                fits = appendText(built, PathSeparator);
            if (fits) fits = appendText(built, piece);
            if (!fits) {
                // Never create a directory under a cut name.
                trace("unable to create security directory", built);
                return false;
            }
            _mkdir(built);
        }
        next += length;
        if (*next == '/') ++next;
    }

    if (!built[0] || !isDir(built)) {
        trace("unable to create security directory", built);
        return false;
    }
    copyText(path, PathBufferSize, built);
    return true;
}

bool Security::copySecurityFile(const char* source, char* destination, bool backup) {
    if (!destination || !*destination) return false;
    if (!fexists(destination)) {
        // copyFile puts a complete copy in place or none at all.
        if (copyFile(source, destination)) {
            trace("security file installed", destination);
            return true;
        }
        reportError("Unable to copy security file",
                           destination);
        return false;
    }
    if (backup && fexists(source)) return backupFile(destination, source);
    trace("security file kept", destination);
    return true;
}

bool Security::getBackupFilename(const char* path, char* backupName, size_t cap) {
    if (!copyText(backupName, cap, path)) return false;
    char* lastSeparator = strrchr(backupName, '\\');
    if (lastSeparator) {
        char* dot = strrchr(lastSeparator, '.');
        if (dot) *dot = '\0';
    }
    return appendText(backupName, cap, BackupSuffix);
}

bool Security::backupFile(const char* path, const char* replacement) {
    char backupName[PathBufferSize];
    char newCopy[PathBufferSize];
    if (!getBackupFilename(path, backupName, dimof(backupName)) ||
        !formatText(newCopy, dimof(newCopy), "%s%s", path, NewCopySuffix)) {
        trace("backup name too long", path);
        return false;
    }
    // The first backup holds the user's own file; a later run must not
    // replace it with a file the package installed.
    if (fexists(backupName)) {
        trace("backup already exists, file kept", backupName);
        return true;
    }
    // New file first: the replacement is complete on disk before the file
    // in place is renamed to its backup, so that a full disk or a refused
    // rename leaves the JVM with the file it had.
    remove(newCopy);
    if (!copyFile(replacement, newCopy)) {
        reportError("Unable to copy security file", path);
        return false;
    }
    if (!MoveFileA(path, backupName)) {
        remove(newCopy);
        reportError("Unable to back up", path);
        return false;
    }
    if (!MoveFileA(newCopy, path)) {
        // The original goes back where it was.
        MoveFileA(backupName, path);
        remove(newCopy);
        reportError("Unable to replace security file",
                           path);
        return false;
    }

    // The record is in the code page of the paths it names.
    char words[64];
    ansiFromUtf8(userPattern(TextRenamedTo, language), words, sizeof words);
    char line[PathBufferSize + 64];
    formatText(line, dimof(line), RenameFormat, words, path);
    logSystemChange(line);
    trace("backed up", backupName);
    trace("security file installed", path);
    return true;
}

void Security::logSystemChange(const char* text) {
    FILE* file = fopen(ChangesFile, "at");
    if (!file) return;
    fprintf(file, "%s\n", text);
    fclose(file);
}

bool Security::addCertificate(const char* setting, const char* javaHome, const char* windowsDir,
                              char* fileName, char* destination, bool backup) {
    if (!getFilenames(setting, javaHome, fileName, destination)) {
        if (fileName[0] && fexists(fileName))
            trace("unable to get destination", setting);
        return false;
    }

    char currentDir[PathBufferSize];
    char name[PathBufferSize];
    getCurrentDir(currentDir, dimof(currentDir));
    copyText(name, fileName);
    if (!formatText(fileName, PathBufferSize, "%s%s%s", currentDir, PathSeparator, name)) {
        trace("keystore path too long", name);
        return false;
    }

    char identityDb[PathBufferSize];
    bool named = getIdentityIdFilename(javaHome, identityDb);
    if (named) copyText(destination, PathBufferSize, identityDb);

    bool result = copySecurityFile(fileName, destination, backup);
    // The profiles below the Windows directory of the older systems get a
    // copy too, where that folder exists (and is not the profile itself).
    char alternate[PathBufferSize];
    if (result && !named && strstr(setting, UserHomeDirSpec) &&
        getAlternateDestination(setting, windowsDir, alternate) &&
        _stricmp(alternate, destination) != 0)
        result = copySecurityFile(fileName, alternate, backup);
    return result;
}

// The value of an identity.database line: line ends and trailing blanks
// removed, "/" turned into "\" and runs of backslashes collapsed (a leading
// "\\" of a network path is kept).
static void normaliseIdentityDb(char* value) {
    trimLineEnd(value, 0);
    for (char* c = value; *c; ++c)
        if (*c == '/') *c = '\\';
    char* out = value;
    const char* in = value;
    if (in[0] == '\\' && in[1] == '\\' && in[2] && in[2] != '\\') {
        *out++ = *in++;
        *out++ = *in++;
    }
    for (; *in; ++in) {
        if (*in == '\\' && out > value && out[-1] == '\\') continue;
        *out++ = *in;
    }
    *out = '\0';
}

bool Security::getIdentityIdFilename(const char* javaHome, char* identityDb) {
    identityDb[0] = '\0';
    char path[PathBufferSize];
    if (!formatText(path, dimof(path), "%s%s%s%s%s%s%s", javaHome, PathSeparator, LibFolder,
                    PathSeparator, SecurityFolder, PathSeparator, JavaSecurityFile))
        return false;
    if (!fexists(path)) return false;
    LineReader file(path, textLines(LineBufferSize - 1));
    if (!file.isOpen()) return false;

    // A line longer than the buffer is cut and the rest of it read on,
    // never taken for a line of its own.
    char line[LineBufferSize];
    char value[PathBufferSize];
    value[0] = '\0';
    bool found = false;
    bool complete = false;
    size_t fieldLength = strlen(JavaIdentityDbField);
    while (!found && file.read(line, &complete)) {
        if (strncmp(line, JavaIdentityDbField, fieldLength) != 0) continue;
        found = true;
        copyText(value, line + fieldLength);
    }
    if (!found) return false;
    if (!complete) {
        trace("identity database path too long", path);
        return false;
    }

    normaliseIdentityDb(value);
    if (!value[0]) {
        trace("identity database not named", path);
        return false;
    }
    copyText(identityDb, PathBufferSize, value);
    trace("identity database", identityDb);

    char* lastSeparator = strrchr(value, '\\');
    if (lastSeparator) {
        *lastSeparator = '\0';
        if (value[0]) addDirectories("", value);
    }
    return true;
}

bool Security::_getLoginName(char* name, size_t cap) {
    name[0] = '\0';
    readRegistryText(HKEY_LOCAL_MACHINE, WinNtLogonEntry, "UserName", name, cap);
    if (!name[0])
        readRegistryText(HKEY_LOCAL_MACHINE, WinNtLogonEntry, "DefaultUserName", name,
                         cap < (size_t)LoginNameSize ? cap : (size_t)LoginNameSize);
    if (!name[0]) return false;
    // The name becomes one directory level: nothing that could lead out of
    // the profiles directory.
    if (strpbrk(name, "\\/:") || isDotEntry(name)) {
        trace("unusable login name", name);
        name[0] = '\0';
        return false;
    }
    return true;
}

bool Security::getAlternateDestination(const char* setting, const char* windowsDir,
                                       char* destination) {
    const char* slash = strrchr(setting, '/');
    size_t variableLength = strlen(UserHomeDirSpec);
    if (!slash || (size_t)(slash - setting) != variableLength ||
        _strnicmp(setting, UserHomeDirSpec, variableLength) != 0)
        return false;

    char profiles[PathBufferSize];
    if (!formatText(profiles, dimof(profiles), "%s%s%s", windowsDir, PathSeparator,
                    ProfilesFolder) ||
        !isDir(profiles)) {
        trace("no profiles directory in", windowsDir);
        return false;
    }
    char name[PathBufferSize];
    if (!_getLoginName(name, dimof(name))) {
        trace("unable to find login name in registry");
        return false;
    }

    char profile[PathBufferSize];
    if (!formatText(profile, dimof(profile), "%s%c%s", ProfilesFolder, '/', name)) return false;
    if (!addDirectories(windowsDir, profile)) return false;
    if (!formatText(destination, PathBufferSize, "%s%s%s", profile, PathSeparator, slash + 1)) {
        trace("security destination too long", profile);
        destination[0] = '\0';
        return false;
    }
    return true;
}
