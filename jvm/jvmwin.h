// JvmWin: the search for an installed JVM. It walks, in this order:
//   the product keys SOFTWARE\JavaSoft\Java Runtime Environment, ...\Java
//   Development Kit and ...\Java Plug-in (version subkeys with MicroVersion
//   and JavaHome);
//   SOFTWARE\JavaSoft\JDK and ...\JRE, where the version's subkey name is the
//   whole version (JavaHome);
//   the keys some vendors' installers write alone (Eclipse Adoptium,
//   AdoptOpenJDK, Microsoft: <version>\hotspot\MSI, value Path; Azul Zulu:
//   zulu-<version>, value InstallationPath);
//   JAVA_HOME; and the first javaw.exe or java.exe on the search path.
// Every registry key is read in HKEY_LOCAL_MACHINE in the 64-bit and the
// 32-bit view (the one view on 32-bit Windows), then in HKEY_CURRENT_USER.
// Within a key the versions are tried newest first; a home is tried once,
// however it is spelt. JvmOk proves each candidate; those it refuses are
// listed with the reason. A Java Plug-in is looked for under its key only.
#ifndef JVM_JVMWIN_H
#define JVM_JVMWIN_H

#include "base/strbuf.h"
#include "base/trace.h"
#include "jvm/jvmwanted.h"
#include "jvm/refusals.h"

#include <windows.h>

// qsort ordering of version names: receives two pointers to string pointers
// and orders the strings by JvmOk::compareVersions.
int compareStrings(const void* first, const void* second);

// A hive and the registry view it is read in.
struct HiveView {
    HKEY root;
    REGSAM view;           // KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0
    const char* rootName;  // "HKEY_LOCAL_MACHINE", as the refusals name it
    const char* viewName;  // " (64-bit view)", " (32-bit view)" or ""
};
enum { MaxHiveViews = 3 };

// The hives and views a key is read in, in order: HKEY_LOCAL_MACHINE in the
// 64-bit then the 32-bit view when Windows is 64-bit (whichever the program
// is: a 32-bit program would otherwise see the 32-bit view only), in its
// one view on 32-bit Windows; then HKEY_CURRENT_USER, which has one view.
// Fills views (MaxHiveViews entries) and returns their number.
unsigned hiveViews(bool windowsIs64Bit, HiveView* views);

// One registry key that lists JVMs by version.
struct RegistrySource;

class JvmWin : public Trace {
public:
    JvmWin();
    ~JvmWin();
    JvmWin(const JvmWin&) = delete;
    JvmWin& operator=(const JvmWin&) = delete;

    // Where the refused candidates go (none when null).
    void setRefusals(RefusalList* list) { refusals = list; }

    // Searches every source in order (the plug-in key alone for the kind
    // "Java Plug-in", any case). On true jvmPath (PathBufferSize bytes) holds
    // the accepted program and wanted.commandName the name it was found
    // under; on false the command name is as it was on entry.
    bool searchWindowsForJvm(const JvmWanted& wanted, const char* jvmKind, char* jvmPath);

private:
    // The version subkeys of one key in one hive and view, newest first.
    bool searchRegistryForJvm(const HiveView& hive, const RegistrySource& source,
                              const JvmWanted& wanted, char* jvmPath);
    unsigned int getJvmEntryCount(HKEY productKey);
    unsigned int getAvailableVersions(HKEY productKey, char** versions);
    bool findMostRecentJvm(const HiveView& hive, const RegistrySource& source, char** versions,
                           unsigned int count, const JvmWanted& wanted, char* jvmPath);
    // One version subkey: its home and the version it is registered as.
    bool lookUpRegistryEntryForJvm(const HiveView& hive, const RegistrySource& source,
                                   const JvmWanted& wanted, const char* version, char* jvmPath);
    bool searchJavaHome(const JvmWanted& wanted, char* jvmPath);
    bool searchPath(const JvmWanted& wanted, char* jvmPath);
    // Proves the JVM under home (knownVersion: the version its source names,
    // or null); refusals name it by where.
    bool tryHome(const char* where, char* home, const char* knownVersion,
                 const JvmWanted& wanted, char* jvmPath);
    // False when home was tried already (by identity); else remembers it.
    bool firstTry(const char* home);

    unsigned int entryCount;  // what getAvailableVersions may fill
    HiveView hives[MaxHiveViews];
    unsigned hiveCount;
    char** triedHomes;
    unsigned triedCount, triedCapacity;
    RefusalList* refusals;
    char traceFilename[PathBufferSize];
};

#endif
