// JvmRegistration: the registration of a JVM under SOFTWARE\\JavaSoft, in the
// layout the registry search reads (the copies of its programs that a
// current runtime environment gets in the Windows directory: jvmcopies.cpp).
// A run that may write Program Files registers in HKEY_LOCAL_MACHINE, for
// every user; any other (a standard user's, whose JVM went below the user's
// own Programs folder) in HKEY_CURRENT_USER, for that user alone.
//
// A JVM of version 9 or later is entered as today's JVM installer programs
// enter it: JRE\\<version> (JDK\\<version> for a JDK) with JavaHome, the
// whole version being the key's name. An older one is entered under the
// product keys with the version base and its MicroVersion, and gets the
// program copies.
//
// Registration is additive: keys are opened or created, a value is written
// only where none is (a value too long to read counts as present), a version
// key that already has a MicroVersion is left alone, and nothing is ever
// deleted. A registry problem never stops the installation; one that leaves
// the JVM unregistered (its version key or JavaHome refused), so that the
// next run will not find it, goes to errors.log with the key and the error.
#include "jvm/jvmregistration.h"
#include "base/disknames.h"

#include "base/bitness.h"
#include "base/jvmhome.h"
#include "base/versionsplit.h"
#include "base/winerror.h"
#include "base/fexists.h"
#include "base/textline.h"
#include "base/winfolders.h"

#include <stdlib.h>
#include <string.h>

static const char JdkType[] = "JDK";
static const char JreEntry[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char JdkEntry[] = "SOFTWARE\\JavaSoft\\Java Development Kit";
static const char JreVersionsEntry[] = "SOFTWARE\\JavaSoft\\JRE";
static const char JdkVersionsEntry[] = "SOFTWARE\\JavaSoft\\JDK";
static const int FirstVersionByName = 9;
static const char Jre12Version[] = "1.2";
static const char Jre11Version[] = "1.1";
static const char JavaHomeValue[] = "JavaHome";
static const char MicroVersionValue[] = "MicroVersion";
static const char CurrentVersionValue[] = "CurrentVersion";
static const char RuntimeLibValue[] = "RuntimeLib";
// Where a runtime keeps its jvm.dll, in the order they are taken; a 64-bit
// Java 8 has the server one alone.
static const char* const JvmDllDirs[] = {"classic", "hotspot", "client", "server"};

// The JVM home of a directory: lower case, without a final "\bin" level
// (a name that merely begins with "bin" is no such level).
static void jvmHomeOf(const char* jvmDir, char* home) {
    // The registry outlives this run's current directory: a relative JVM
    // directory is entered by its full path.
    if (!_fullpath(home, jvmDir, PathBufferSize)) copyText(home, PathBufferSize, jvmDir);
    lowerText(home);
    size_t length = strlen(home);
    if (length > 0 && home[length - 1] == PathSeparator[0]) home[--length] = '\0';
    cutFinalBinLevel(home);
}

void JvmRegistration::registerFor(unsigned bits, int machineWide) {
    WinFolders folders;
    bool machine = machineWide >= 0 ? machineWide != 0 : folders.mayWriteProgramFiles(bits);
    registryRoot = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    registryRootName = machine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    // The user's software keys are one for programs of either bitness.
    registryView = machine ? registryViewFor(bits) : 0;
    trace("registering the JVM under", registryRootName);
}

void JvmRegistration::reportRefusedRegistration(const char* keyName, const char* valueName,
                                           long status) {
    char reason[PathBufferSize], message[PathBufferSize * 2];
    windowsErrorText((unsigned long)status, reason, sizeof reason);
    formatText(message, sizeof message,
               "Unable to register the JVM: %s\\%s%s%s refused (%s); the next run will not find it",
               registryRootName, keyName, valueName ? " value " : "", valueName ? valueName : "",
               reason);
    reportError(message);
}

JvmRegistration::JvmRegistration(const char* windowsDir, bool configureRegistry)
    : configureRegistry(configureRegistry) {
    copyText(this->windowsDir, windowsDir ? windowsDir : "");
}

void JvmRegistration::enter(const JvmToRegister& jvm) {
    registerFor(jvm.bits, jvm.machineWide);
    char label[80];
    formatText(label, sizeof label, "registering the JVM in the registry view of %s programs",
               bitsText(jvm.bits));
    trace(label);
    if (!configureRegistry) {
        trace("Windows registry unchanged");
    } else if (!enterKeys(jvm)) {
        trace("Warning: Windows registry *not* configured properly");
    } else {
        trace("Windows registry configured");
    }
}

bool JvmRegistration::enterKeys(const JvmToRegister& jvm) {
    char versionCopy[VersionBufferSize];
    copyText(versionCopy, jvm.version);
    char base[VersionBufferSize], micro[VersionBufferSize];
    parseVersion(versionCopy, base, micro);
    char home[PathBufferSize];
    jvmHomeOf(jvm.dir, home);

    // Today's form names the key by the whole version. Such a java.exe runs
    // only beside its own libraries: nothing is copied into the Windows
    // directory.
    bool jdk = _stricmp(jvm.kind, JdkType) == 0;
    if (atoi(jvm.version) >= FirstVersionByName)
        return addJvmVersion(jdk ? JdkVersionsEntry : JreVersionsEntry, jvm.version, home);

    // A JDK of the older form is entered as a JDK alone.
    if (jdk) return addJvmToRegistry(JdkEntry, JavaHomeValue, base, micro, home, jvm.program);
    return configureJre(base, micro, home, jvm.program);
}

bool JvmRegistration::configureJre(const char* base, const char* micro, const char* jvmHome,
                                   const char* jvmCommandName) {
    if (!addJvmToRegistry(JreEntry, JavaHomeValue, base, micro, jvmHome, jvmCommandName))
        return false;
    copyJreFilesToWindowsDir(base, jvmHome, jvmCommandName);
    if (!startsWith(base, Jre11Version)) configureJava2(base, micro, jvmHome, jvmCommandName);
    return true;
}

bool JvmRegistration::configureJava2(const char* base, const char* micro, const char* jvmHome,
                                     const char* jvmCommandName) {
    char version[VersionBufferSize * 2];
    formatText(version, sizeof version, "%s.%s", base, micro);
    addJvmToRegistry(JreEntry, JavaHomeValue, version, micro, jvmHome, jvmCommandName);
    return true;
}

bool JvmRegistration::addToRegistry(HKEY root, const char* keyName, RegKey& key) {
    LONG status = key.openForWriting(root, keyName, registryView);
    lastStatus = status;
    if (status == ERROR_SUCCESS) return true;
    trace("Unable to create registry key", keyName);
    trace("registry status", (int)status);
    return false;
}

bool JvmRegistration::addValueToRegistry(RegKey& key, const char* name, const char* value) {
    char existing[PathBufferSize];
    LONG status = key.readValue(name, existing, sizeof existing);
    // A value too long to read is there all the same: it stays.
    if (existing[0] || status == ERROR_MORE_DATA) {
        trace(name, "already exists in registry");
        trace("value", existing);
        return true;
    }
    status = key.writeText(name, value);
    lastStatus = status;
    char label[PathBufferSize];
    formatText(label, sizeof label, "Added registry value to %s:", name);
    trace(label, value);
    if (status == ERROR_SUCCESS) return true;
    trace("registry write status", (int)status);
    return false;
}

void JvmRegistration::addCurrentVersion(const char* entry, const char* version) {
    RegKey key;
    if (!addToRegistry(registryRoot, entry, key)) return;
    // An existing CurrentVersion is never changed, even an older one.
    char currentVersion[PathBufferSize];
    LONG status = key.readValue(CurrentVersionValue, currentVersion, sizeof currentVersion);
    if (!currentVersion[0] && status != ERROR_MORE_DATA)
        addValueToRegistry(key, CurrentVersionValue, version);
}

void JvmRegistration::addJvmTopLevelKey(const char* entry, const char* version) {
    char versionCopy[VersionBufferSize];
    copyText(versionCopy, version);
    char base[VersionBufferSize], micro[VersionBufferSize];
    parseVersion(versionCopy, base, micro);
    addCurrentVersion(entry, base);
}

bool JvmRegistration::addJvmVersion(const char* entry, const char* version, const char* jvmHome) {
    addCurrentVersion(entry, version);
    char keyName[PathBufferSize];
    RegKey key;
    // A failed creation is tried once more, as for the older form.
    if (!formatText(keyName, sizeof keyName, "%s%s%s", entry, PathSeparator, version) ||
        (!addToRegistry(registryRoot, keyName, key) &&
         !addToRegistry(registryRoot, keyName, key))) {
        trace("unable to add registry key", keyName);
        reportRefusedRegistration(keyName, nullptr, lastStatus);
        return false;
    }
    if (!addValueToRegistry(key, JavaHomeValue, jvmHome)) {
        reportRefusedRegistration(keyName, JavaHomeValue, lastStatus);
        return false;
    }
    return true;
}

bool JvmRegistration::addJvmToRegistry(const char* entry, const char* homeValueName,
                                       const char* version, const char* micro,
                                       const char* jvmHome, const char* programName) {
    addJvmTopLevelKey(entry, version);

    char keyName[PathBufferSize];
    if (!formatText(keyName, sizeof keyName, "%s%s%s", entry, PathSeparator, version)) {
        trace("unable to addJvmToRegistry");
        return false;
    }
    // A failed open is tried once more, and so is a failed creation below:
    // the key may be in the middle of being made by another JVM installer program.
    RegKey key;
    REGSAM access = KEY_QUERY_VALUE | registryView;
    if (key.open(registryRoot, keyName, access) == ERROR_SUCCESS ||
        key.open(registryRoot, keyName, access) == ERROR_SUCCESS) {
        char registeredMicro[PathBufferSize];
        LONG status = key.readValue(MicroVersionValue, registeredMicro, sizeof registeredMicro);
        key.close();
        if (registeredMicro[0] || status == ERROR_MORE_DATA) {
            trace("jvm already registered", keyName);
            return true;
        }
        if (!addToRegistry(registryRoot, keyName, key)) {
            trace("unable to addJvmToRegistry");
            reportRefusedRegistration(keyName, nullptr, lastStatus);
            return false;
        }
    } else if (!addToRegistry(registryRoot, keyName, key) &&
               !addToRegistry(registryRoot, keyName, key)) {
        trace("unable to add registry key", keyName);
        trace("unable to addJvmToRegistry");
        reportRefusedRegistration(keyName, nullptr, lastStatus);
        return false;
    }
    return addJvmSubentries(key, keyName, homeValueName, version, micro, jvmHome, programName);
}

bool JvmRegistration::addJvmSubentries(RegKey& key, const char* keyName,
                                       const char* homeValueName, const char* version,
                                       const char* micro, const char* jvmHome,
                                       const char* programName) {
    if (!addValueToRegistry(key, homeValueName, jvmHome)) {
        reportRefusedRegistration(keyName, homeValueName, lastStatus);
        return false;
    }
    addValueToRegistry(key, MicroVersionValue, micro);

    // RuntimeLib for a java program of version 1.2 or later (the name is
    // taken with or without its .exe, as the control file gives it).
    char program[PathBufferSize];
    copyText(program, programName);
    size_t length = strlen(program);
    if (length > 4 && _stricmp(program + length - 4, ExeExtension) == 0) program[length - 4] = '\0';
    if (_stricmp(program, JavaProgram) != 0 || _stricmp(version, Jre12Version) < 0) return true;
    char dll[PathBufferSize];
    for (const char* dir : JvmDllDirs) {
        if (formatText(dll, sizeof dll, "%s%s%s%s%s%s%s", jvmHome, PathSeparator, BinFolder,
                       PathSeparator, dir, PathSeparator, JvmDllFile) &&
            fexists(dll)) {
            addValueToRegistry(key, RuntimeLibValue, dll);
            return true;
        }
    }
    return true;
}
