// JvmRegistration: enters a JVM the launcher installed into the Windows
// registry under SOFTWARE\JavaSoft, in the layout the registry search reads,
// and copies a current runtime environment's programs into the Windows
// directory (jvmregistration.cpp: the keys; jvmcopies.cpp: the copies).
//
// A run that may write Program Files registers in HKEY_LOCAL_MACHINE, in the
// registry view of programs of the JVM's bitness, for every user; any other
// (a standard user's, whose JVM went below the user's own Programs folder)
// in HKEY_CURRENT_USER, for that user alone. Registration only ever adds:
// existing keys are reused and an existing value is never overwritten.
#ifndef JVM_JVMREGISTRATION_H
#define JVM_JVMREGISTRATION_H

#include "base/regkey.h"
#include "base/report.h"
#include "base/strbuf.h"

#include <windows.h>

// The JVM to be entered.
struct JvmToRegister {
    const char* version;  // the version the package says it has ("1.6.0", "17.0.2")
    const char* kind;     // "JDK", or the kind of a runtime environment
    const char* program;  // the file name of its program as found ("java.exe")
    const char* dir;      // its directory: the home, or the home's bin level
    unsigned bits;        // of its programs
    // Where it went decides where it is registered: 1 below Program Files
    // (for every user), 0 below the user's own Programs folder; -1 when the
    // folder says neither (a package's own), and this run's right to write
    // Program Files decides.
    int machineWide = -1;
};

class JvmRegistration {
public:
    // windowsDir: where the program copies go (none when empty).
    // configureRegistry: the package's registry switch ("configureWinRegistry").
    JvmRegistration(const char* windowsDir, bool configureRegistry);
    JvmRegistration(const JvmRegistration&) = delete;
    JvmRegistration& operator=(const JvmRegistration&) = delete;

    // Enters the JVM, unless the registry switch is off. A registry
    // problem never stops the installation: one that leaves the JVM
    // unregistered (its version key or JavaHome refused) goes to errors.log.
    void enter(const JvmToRegister& jvm);

private:
    // Where a JVM of bits is registered: HKEY_LOCAL_MACHINE in the view of
    // such programs when this run may write Program Files (where the JVM
    // went too), else HKEY_CURRENT_USER, the user's own.
    void registerFor(unsigned bits, int machineWide);
    // A JVM of version 9 or later is registered in today's form
    // (addJvmVersion), an older one in the form of its time
    // (addJvmToRegistry). Every key is opened in registryView.
    bool enterKeys(const JvmToRegister& jvm);
    bool configureJre(const char* base, const char* micro, const char* jvmHome,
                      const char* program);
    bool configureJava2(const char* base, const char* micro, const char* jvmHome,
                        const char* program);
    bool copyJreFilesToWindowsDir(const char* base, const char* jvmHome, const char* program);
    // Copies unless the target exists already (never replaces a file).
    bool copyJvmFile(const char* from, const char* to);
    // SOFTWARE\JavaSoft\JRE (or \JDK)\<version> with JavaHome, and the
    // entry's CurrentVersion where it has none: the whole version is the
    // key's name, as the registry search reads it back.
    bool addJvmVersion(const char* entry, const char* version, const char* jvmHome);
    bool addJvmToRegistry(const char* entry, const char* homeValueName, const char* version,
                          const char* micro, const char* jvmHome, const char* program);
    void addJvmTopLevelKey(const char* entry, const char* version);
    // False when the home value was refused (reported with keyName).
    bool addJvmSubentries(RegKey& key, const char* keyName, const char* homeValueName,
                          const char* version, const char* micro, const char* jvmHome,
                          const char* program);
    // Opens root\keyName for writing into key, creating it when needed.
    bool addToRegistry(HKEY root, const char* keyName, RegKey& key);
    // Writes a string value unless one is there already; false when the
    // write was refused.
    bool addValueToRegistry(RegKey& key, const char* name, const char* value);
    // Writes CurrentVersion = version into the entry key unless it has one.
    void addCurrentVersion(const char* entry, const char* version);
    // errors.log: the registration of the JVM was refused at keyName (its
    // value valueName, when given) with status.
    void reportRefusedRegistration(const char* keyName, const char* valueName, long status);

    char windowsDir[PathBufferSize];
    bool configureRegistry;
    REGSAM registryView = 0;
    HKEY registryRoot = HKEY_LOCAL_MACHINE;
    const char* registryRootName = "HKEY_LOCAL_MACHINE";
    long lastStatus = ERROR_SUCCESS;  // of the last key opened or value written for writing
};

#endif
