// ExtractJvm: expansion of the package's compressed JVM, the location of its
// program, its registration under SOFTWARE\JavaSoft and the copies of its
// programs into the Windows directory.
//
// Registration is additive: keys are opened or created, a value is written
// only where none is (a value too long to read counts as present), a version
// key that already has a MicroVersion is left alone, and nothing is ever
// deleted. A registry problem is traced and never stops the installation.
#include "jvm/extractjvm.h"

#include "base/clib.h"
#include "base/fexists.h"
#include "base/curdir.h"
#include "base/textline.h"
#include "config/winregconfig.h"
#include "exec/execcmd.h"
#include "jvm/jvminstaller.h"
#include "jvm/jvmok.h"

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char TraceFilename[] = "jinstall.log";
static const char ErrorsFilename[] = "errors.log";
static const char TempTraceFilename[] = "jinstall.sem";
static const char TempLogFname[] = "__temp.log";
static const char AppDirVariable[] = "[$AppDir]";
static const char DIR_END[] = "\\";
static const char BinDir[] = "bin";
static const char NewJreFilename[] = "java";
static const char NewJrewFilename[] = "javaw";
static const char NewDefaultJreFilename[] = "java.exe";
static const char NewDefaultJrewFilename[] = "javaw.exe";
static const char OldJreFilename[] = "jre";
static const char OldJrewFilename[] = "jrew";
static const char OldDefaultJreFilename[] = "jre.exe";
static const char OldDefaultJrewFilename[] = "jrew.exe";
static const char JdkType[] = "JDK";
static const char ExeExtension[] = ".exe";
static const char RuntimeDll[] = "msvcrt.dll";
static const char SystemDir[] = "system";

static const char JreEntry[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char JdkEntry[] = "SOFTWARE\\JavaSoft\\Java Development Kit";
static const char Jre12Version[] = "1.2";
static const char Jre11Version[] = "1.1";
static const char JavaHomeValue[] = "JavaHome";
static const char MicroVersionValue[] = "MicroVersion";
static const char CurrentVersionValue[] = "CurrentVersion";
static const char RuntimeLibValue[] = "RuntimeLib";
static const char JvmDll[] = "jvm.dll";
static const char* const JvmDllDirs[] = {"classic", "hotspot", "client"};

// Write access tried in this order when a key is opened or created.
static const REGSAM WriteMasks[] = {KEY_ALL_ACCESS, 0x2001F, 0x2001F, KEY_CREATE_SUB_KEY};

// The JVM home of a directory: lower case, without a final "\bin" level
// (a name that merely begins with "bin" is no such level).
static void jvmHomeOf(const char* jvmDir, char* home) {
    // The registry outlives this run's current directory: a relative JVM
    // directory is entered by its full path.
    if (!_fullpath(home, jvmDir, PathBufferSize)) copyText(home, PathBufferSize, jvmDir);
    lowerText(home);
    size_t length = strlen(home);
    if (length > 0 && home[length - 1] == DIR_END[0]) home[--length] = '\0';
    if (length >= 4 && strcmp(home + length - 4, "\\bin") == 0) home[length - 4] = '\0';
}

ExtractJvm::ExtractJvm() : hwnd(nullptr), jvmInstalled(false), jvmDiscovered(false) {
    homeDirectory[0] = '\0';
}

ExtractJvm::~ExtractJvm() {}

// ---------------------------------------------------------------------------
// The whole job

bool ExtractJvm::extractJvm(char* jvmRequiredVersion, char* jvmMinVersion, char* jvmMaxVersion,
                            char* jvmVersion, char* jvmName, char* jvmCommandName,
                            char* jvmSelfExtractor, char* predefinedJvmInstallDir,
                            char* jvmHomeDir, char* jvmPath, const char* homeDir) {
    char jvmDir[PathBufferSize];
    jvmDir[0] = '\0';
    bool ok = installCompressedJvm(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmVersion,
                                   jvmName, jvmCommandName, jvmSelfExtractor,
                                   predefinedJvmInstallDir, jvmHomeDir, jvmPath, homeDir, jvmDir);
    if (ok) {
        JvmOk jvmOk;
        ok = jvmOk.jvmCorrectVersion(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmDir,
                                     jvmCommandName, jvmPath);
    }
    if (ok && !jvmDiscovered) jvmInstalled = true;
    traceMessage(TraceFilename, "extractJvm ok", ok);
    return ok;
}

bool ExtractJvm::installCompressedJvm(char* jvmRequiredVersion, char* jvmMinVersion,
                                      char* jvmMaxVersion, char* jvmVersion, char* jvmName,
                                      char* jvmCommandName, char* jvmSelfExtractor,
                                      char* predefinedJvmInstallDir, char* jvmHomeDir,
                                      char* jvmPath, const char* homeDir, char* jvmDir) {
    copyText(homeDirectory, homeDir);
    bool created;
    {
        JvmInstaller installer;
        installer.setHomeDirectory(homeDirectory);
        created = installer.createJvmDirectory(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion,
                                               jvmVersion, jvmName, jvmCommandName,
                                               predefinedJvmInstallDir, jvmDir, jvmPath);
        jvmDiscovered = installer.isJvmDiscovered();
    }
    traceMessage(TraceFilename, "found existing jvm directory", jvmDiscovered);
    if (!created || (!jvmDiscovered && !expandJvm(jvmSelfExtractor, jvmDir))) {
        traceMessage(TraceFilename, "installCompressedJvm ok", false);
        return false;
    }

    // The JVM home inside the directory: ./jre names jvmDir\jre, anything
    // else replaces the directory.
    if (jvmHomeDir && jvmHomeDir[0]) {
        bool relative = jvmHomeDir[0] == '.' && isSeparator(jvmHomeDir[1]);
        bool fits = relative ? appendText(jvmDir, PathBufferSize, jvmHomeDir + 1)
                             : copyText(jvmDir, PathBufferSize, jvmHomeDir);
        for (char* c = jvmDir; *c; ++c)
            if (*c == '/') *c = DIR_END[0];
        traceMessage(TraceFilename, "final jvm install directory:", jvmDir);
        if (!fits) {
            traceMessage(TraceFilename, "installCompressedJvm ok", false);
            return false;
        }
    }

    // A JVM in the work directory is neither registered nor copied.
    bool registerJvm =
        !(predefinedJvmInstallDir && strstr(predefinedJvmInstallDir, AppDirVariable));
    bool ok = configureJvm(jvmVersion, jvmName, jvmCommandName, jvmDir, homeDirectory, registerJvm);
    traceMessage(TraceFilename, "installCompressedJvm ok", ok);
    return ok;
}

bool ExtractJvm::expandJvm(const char* jvmSelfExtractor, const char* jvmDir) {
    traceMessage(TraceFilename, "installing jvm in", jvmDir);
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);
    traceMessage(TraceFilename, "current directory", workDir);

    // Absolute log names: the current directory changes for the run.
    char errorsFile[PathBufferSize], traceFile[PathBufferSize], tempLog[PathBufferSize];
    formatText(errorsFile, sizeof errorsFile, "%s%s%s", workDir, DIR_END, ErrorsFilename);
    formatText(traceFile, sizeof traceFile, "%s%s%s", workDir, DIR_END, TraceFilename);
    formatText(tempLog, sizeof tempLog, "%s%s%s", workDir, DIR_END, TempLogFname);

    char command[PathBufferSize];
    char current[PathBufferSize];
    bool ok = false;
    {
        ExecCommand exec;
        exec.setErrorsFilename(errorsFile);
        exec.setTraceFilename(traceFile);
        CurrentDirectory here;
        if (!getJvmInstallerCommand(jvmSelfExtractor, command)) {
            traceMessage(traceFile, "installed jvm", false);
            getCurrentDir(current, PathBufferSize - 1);
            traceMessage(traceFile, "current directory after changing dir to: ", current);
        } else if (!here.enter(jvmDir)) {
            // Never expand into the work directory by mistake.
            traceMessage(traceFile, "unable to change dir to: ", jvmDir);
        } else {
            getCurrentDir(current, PathBufferSize - 1);
            traceMessage(traceFile, "current directory changing dir to: ", current);
            ok = exec.execCommand(command, nullptr, 0);
            traceMessage(traceFile, "installed jvm", ok);
            here.restore();
            getCurrentDir(current, PathBufferSize - 1);
            traceMessage(traceFile, "current directory after changing dir to: ", current);
        }
        if (ok) traceMessage(traceFile, "issued command to expand:", command);
        else traceMessage(traceFile, "unable to expand", command);
    }
    remove(tempLog);
    return ok;
}

bool ExtractJvm::getJvmInstallerCommand(const char* jvmSelfExtractor, char* command) {
    // Only "/" separates: the file is looked for in the work directory.
    const char* slash = strrchr(jvmSelfExtractor, '/');
    const char* name = slash ? slash + 1 : jvmSelfExtractor;
    char workDir[PathBufferSize];
    getCurrentDir(workDir, PathBufferSize - 1);
    char path[PathBufferSize];
    if (!formatText(path, sizeof path, "%s%s%s", workDir, DIR_END, name)) {
        command[0] = '\0';
        traceMessage(TraceFilename, "Compressed JVM path too long", name);
        return false;
    }
    if (strchr(path, ' ')) {
        char shortPath[PathBufferSize];
        shortPath[0] = '\0';
        DWORD length = GetShortPathNameA(path, shortPath, PathBufferSize - 1);
        if (length > 0 && length < PathBufferSize - 1 && shortPath[0]) {
            if (!strchr(shortPath, ' ')) {
                copyText(path, shortPath);
            } else {
                char fullPath[PathBufferSize];
                length = GetFullPathNameA(path, PathBufferSize - 1, fullPath, nullptr);
                if (length > 0 && length < PathBufferSize - 1) copyText(path, fullPath);
            }
        }
    }
    bool exists = fexists(path);
    if (!exists) traceMessage(TraceFilename, "Compressed JVM does *not* exist: ", path);
    // A path that keeps a blank stays unquoted: the program is started by
    // this path as it is (a quoted one cannot be found), and the command
    // execution quotes it on the child's command line.
    copyText(command, PathBufferSize, path);
    return exists;
}

// ---------------------------------------------------------------------------
// Locating and configuring the JVM program

bool ExtractJvm::configureJvm(char* jvmVersion, char* jvmName, char* jvmCommandName, char* jvmDir,
                              const char* homeDir, bool registerJvm) {
    traceMessage(TraceFilename, "about to configure jvm", jvmVersion);
    if (!homeDirectory[0] && homeDir) copyText(homeDirectory, homeDir);

    char newName[VersionBufferSize];
    formatText(newName, sizeof newName, fexists(TempTraceFilename) ? "%sw.exe" : "%s.exe",
               NewJreFilename);
    bool oldStyle = startsWith(jvmCommandName, OldJreFilename);

    // First match wins: jvmDir\name, jvmDir\new name, jvmDir\bin\name,
    // jvmDir\bin\new name (the new names only for an old "jre" name).
    struct Place {
        const char* subdir;
        const char* name;
    } places[] = {{"", jvmCommandName},
                  {"", oldStyle ? newName : nullptr},
                  {BinDir, jvmCommandName},
                  {BinDir, oldStyle ? newName : nullptr}};
    const char* found = nullptr;
    char path[PathBufferSize];
    for (const Place& place : places) {
        if (!place.name) continue;
        bool fits = place.subdir[0]
                        ? formatText(path, sizeof path, "%s%s%s%s%s", jvmDir, DIR_END, place.subdir,
                                     DIR_END, place.name)
                        : formatText(path, sizeof path, "%s%s%s", jvmDir, DIR_END, place.name);
        if (fits && fexists(path)) {
            found = place.name;
            break;
        }
    }
    if (!found) {
        logAndTraceMessage(ErrorsFilename, TraceFilename, "Unable to find JVM executable");
        logAndTraceMessage(ErrorsFilename, TraceFilename, "Unable to configure JVM in", jvmDir);
        traceMessage(TraceFilename, "configureJvm ok", false);
        return false;
    }
    char foundName[PathBufferSize];
    copyText(foundName, found);
    if (registerJvm) configureWinJvm(jvmVersion, jvmName, foundName, jvmDir);
    copyText(jvmCommandName, PathBufferSize, foundName);
    traceMessage(TraceFilename, "configureJvm ok", true);
    return true;
}

bool ExtractJvm::configureWinJvm(char* jvmVersion, char* jvmName, char* jvmCommandName,
                                 char* jvmDir) {
    if (!configureWinReg()) {
        traceMessage(TraceFilename, "Windows registry unchanged");
    } else if (!_configureWinJvm(jvmVersion, jvmName, jvmCommandName, jvmDir)) {
        traceMessage(TraceFilename, "Warning: Windows registry *not* configured properly");
    } else {
        traceMessage(TraceFilename, "Windows registry configured");
    }
    return true;  // a registry problem never stops the installation
}

bool ExtractJvm::_configureWinJvm(char* jvmVersion, char* jvmName, char* jvmCommandName,
                                  char* jvmDir) {
    char versionCopy[VersionBufferSize];
    copyText(versionCopy, jvmVersion);
    char base[VersionBufferSize], micro[VersionBufferSize];
    parseVersion(versionCopy, base, micro);
    char home[PathBufferSize];
    jvmHomeOf(jvmDir, home);

    if (_stricmp(jvmName, JdkType) == 0) {
        bool ok = addJvmToRegistry(JdkEntry, JavaHomeValue, base, micro, home, jvmCommandName);
        char program[PathBufferSize];
        copyText(program, jvmCommandName);
        lowerText(program);
        if (strcmp(program, OldJreFilename) == 0 || strcmp(program, NewJreFilename) == 0)
            return configureJre(base, micro, home, jvmCommandName);
        return ok;
    }
    return configureJre(base, micro, home, jvmCommandName);
}

bool ExtractJvm::configureJre(char* base, char* micro, char* jvmHome, char* jvmCommandName) {
    if (!addJvmToRegistry(JreEntry, JavaHomeValue, base, micro, jvmHome, jvmCommandName))
        return false;
    copyJreFilesToHome(base, jvmHome, jvmCommandName);
    if (!startsWith(base, Jre11Version)) configureJava2(base, micro, jvmHome, jvmCommandName);
    return true;
}

bool ExtractJvm::configureJava2(char* base, char* micro, char* jvmHome, char* jvmCommandName) {
    char version[VersionBufferSize * 2];
    formatText(version, sizeof version, "%s.%s", base, micro);
    addJvmToRegistry(JreEntry, JavaHomeValue, version, micro, jvmHome, jvmCommandName);
    return true;
}

bool ExtractJvm::copyJreFilesToHome(char* base, char* jvmHome, char* jvmCommandName) {
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, JreEntry, KEY_QUERY_VALUE) != ERROR_SUCCESS) return true;
    char currentVersion[PathBufferSize];
    key.readValue(CurrentVersionValue, currentVersion, sizeof currentVersion);
    key.close();
    if (strcmp(base, currentVersion) != 0) return true;
    // Without a Windows directory the copies would land at a drive's root.
    if (!homeDirectory[0]) {
        traceMessage(TraceFilename, "no Windows directory to copy jvm files to");
        return true;
    }

    // Each program gets its console or windowless twin.
    char program[PathBufferSize];
    copyText(program, jvmCommandName);
    char* extension = strstr(program, ExeExtension);
    if (extension) *extension = '\0';
    const char* partner;
    if (startsWith(base, Jre11Version))
        partner = strcmp(program, OldJrewFilename) == 0 ? OldDefaultJreFilename
                                                        : OldDefaultJrewFilename;
    else
        partner = strcmp(program, NewJrewFilename) == 0 ? NewDefaultJreFilename
                                                        : NewDefaultJrewFilename;

    char from[PathBufferSize], to[PathBufferSize];
    const char* names[] = {jvmCommandName, partner};
    for (const char* name : names) {
        if (formatText(from, sizeof from, "%s%s%s%s%s", jvmHome, DIR_END, BinDir, DIR_END, name) &&
            formatText(to, sizeof to, "%s%s%s", homeDirectory, DIR_END, name))
            copyJvmFile(from, to);
    }
    if (formatText(from, sizeof from, "%s%s%s%s%s", jvmHome, DIR_END, BinDir, DIR_END,
                   RuntimeDll) &&
        formatText(to, sizeof to, "%s%s%s%s%s", homeDirectory, DIR_END, SystemDir, DIR_END,
                   RuntimeDll))
        copyJvmFile(from, to);
    return true;
}

bool ExtractJvm::copyJvmFile(const char* from, const char* to) {
    if (!fexists(from)) {
        traceMessage(TraceFilename, "unable to copy file from", from);
        traceMessage(TraceFilename, "                      to", to);
        return false;
    }
    if (fexists(to)) return true;  // an existing file is never replaced
    return copyFile(from, to);
}

// ---------------------------------------------------------------------------
// Registration

bool ExtractJvm::configureWinReg() {
    return readConfigureWinReg(*this);
}

bool ExtractJvm::addToRegistry(HKEY root, const char* keyName, RegKey& key) {
    LONG status = key.open(root, keyName, KEY_QUERY_VALUE);
    if (status == ERROR_SUCCESS) {
        key.close();
        for (REGSAM mask : WriteMasks)
            if ((status = key.open(root, keyName, mask)) == ERROR_SUCCESS) return true;
    }
    for (REGSAM mask : WriteMasks)
        if ((status = key.create(root, keyName, mask)) == ERROR_SUCCESS) return true;
    traceMessage(TraceFilename, "Unable to create registry key", keyName);
    traceMessage(TraceFilename, "registry status", (int)status);
    return false;
}

bool ExtractJvm::addValueToRegistry(RegKey& key, const char* name, const char* value) {
    char existing[PathBufferSize];
    LONG status = key.readValue(name, existing, sizeof existing);
    // A value too long to read is there all the same: it stays.
    if (existing[0] || status == ERROR_MORE_DATA) {
        traceMessage(TraceFilename, name, "already exists in registry");
        traceMessage(TraceFilename, "value", existing);
        return true;
    }
    status = RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            (DWORD)strlen(value) + 1);
    char label[PathBufferSize];
    formatText(label, sizeof label, "Added registry value to %s:", name);
    traceMessage(TraceFilename, label, value);
    if (status != ERROR_SUCCESS) traceMessage(TraceFilename, "registry write status", (int)status);
    return true;
}

void ExtractJvm::addJvmTopLevelKey(const char* entry, char* version) {
    RegKey key;
    if (!addToRegistry(HKEY_LOCAL_MACHINE, entry, key)) return;
    char versionCopy[VersionBufferSize];
    copyText(versionCopy, version);
    char base[VersionBufferSize], micro[VersionBufferSize];
    parseVersion(versionCopy, base, micro);
    // An existing CurrentVersion is never changed, even an older one.
    char currentVersion[PathBufferSize];
    LONG status = key.readValue(CurrentVersionValue, currentVersion, sizeof currentVersion);
    if (!currentVersion[0] && status != ERROR_MORE_DATA)
        addValueToRegistry(key, CurrentVersionValue, base);
}

bool ExtractJvm::addJvmToRegistry(const char* entry, const char* homeValueName, char* version,
                                  char* micro, char* jvmHome, char* programName) {
    addJvmTopLevelKey(entry, version);

    char keyName[PathBufferSize];
    if (!formatText(keyName, sizeof keyName, "%s%s%s", entry, DIR_END, version)) {
        traceMessage(TraceFilename, "unable to addJvmToRegistry");
        return false;
    }
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, keyName, KEY_QUERY_VALUE) == ERROR_SUCCESS ||
        key.open(HKEY_LOCAL_MACHINE, keyName, KEY_QUERY_VALUE) == ERROR_SUCCESS) {
        char registeredMicro[PathBufferSize];
        LONG status = key.readValue(MicroVersionValue, registeredMicro, sizeof registeredMicro);
        key.close();
        if (registeredMicro[0] || status == ERROR_MORE_DATA) {
            traceMessage(TraceFilename, "jvm already registered", keyName);
            return true;
        }
        if (!addToRegistry(HKEY_LOCAL_MACHINE, keyName, key)) {
            traceMessage(TraceFilename, "unable to addJvmToRegistry");
            return false;
        }
    } else if (!addToRegistry(HKEY_LOCAL_MACHINE, keyName, key) &&
               !addToRegistry(HKEY_LOCAL_MACHINE, keyName, key)) {
        traceMessage(TraceFilename, "unable to add registry key", keyName);
        traceMessage(TraceFilename, "unable to addJvmToRegistry");
        return false;
    }
    addJvmSubentries(key, homeValueName, version, micro, jvmHome, programName);
    return true;
}

void ExtractJvm::addJvmSubentries(RegKey& key, const char* homeValueName, char* version,
                                  char* micro, char* jvmHome, char* programName) {
    addValueToRegistry(key, homeValueName, jvmHome);
    addValueToRegistry(key, MicroVersionValue, micro);

    // RuntimeLib for a java program of version 1.2 or later (the name is
    // taken with or without its .exe, as the control file gives it).
    char program[PathBufferSize];
    copyText(program, programName);
    size_t length = strlen(program);
    if (length > 4 && _stricmp(program + length - 4, ExeExtension) == 0) program[length - 4] = '\0';
    if (_stricmp(program, NewJreFilename) != 0 || _stricmp(version, Jre12Version) < 0) return;
    char dll[PathBufferSize];
    for (const char* dir : JvmDllDirs) {
        if (formatText(dll, sizeof dll, "%s%s%s%s%s%s%s", jvmHome, DIR_END, BinDir, DIR_END, dir,
                       DIR_END, JvmDll) &&
            fexists(dll)) {
            addValueToRegistry(key, RuntimeLibValue, dll);
            return;
        }
    }
}
