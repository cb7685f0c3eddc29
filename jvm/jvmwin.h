// JvmWin: walks the JVMs that the registry lists under
// HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft (runtime environments, development
// kits, the plug-in), most recent version first, and hands each candidate to
// JvmOk until one is accepted.
#ifndef JVM_JVMWIN_H
#define JVM_JVMWIN_H

#include "base/strbuf.h"
#include "base/trace.h"
#include "jvm/jvmwanted.h"

#include <windows.h>

// qsort ordering of version names: receives two pointers to string pointers
// and orders the strings by JvmOk::compareVersions.
int compareStrings(const void* first, const void* second);

class JvmWin : public Trace {
public:
    JvmWin();
    ~JvmWin();
    JvmWin(const JvmWin&) = delete;
    JvmWin& operator=(const JvmWin&) = delete;

    // Searches the runtime, development-kit and plug-in keys in that order
    // (the plug-in key alone for the kind "Java Plug-in", any case). On true
    // jvmPath (PathBufferSize bytes) holds the accepted program and
    // wanted.commandName the name it was found under; on false the command
    // name is as it was on entry.
    bool searchWindowsForJvm(const JvmWanted& wanted, const char* jvmKind, char* jvmPath);
    // Searches the version subkeys of one product key, greatest name first.
    bool searchRegistryForJvm(const char* productKey, const JvmWanted& wanted, char* jvmPath);
    // Number of version subkeys of an open product key.
    unsigned int getJvmEntryCount(HKEY productKey);
    // Fills versions (room for count + 1 pointers, count as getJvmEntryCount
    // gave it) with heap copies of the subkey names in registry order, at
    // most count of them; returns their number. The caller frees them.
    unsigned int getAvailableVersions(HKEY productKey, char** versions);
    // Tries versions[count-1] down to versions[0]; true at the first accepted.
    bool findMostRecentJvm(char** versions, unsigned int count, const char* productKey,
                           const JvmWanted& wanted, char* jvmPath);
    // Tries one version subkey. version (PathBufferSize bytes) is extended by
    // "." and the micro version; homeDir (PathBufferSize bytes) receives the
    // JVM home directory.
    bool lookUpRegistryEntryForJvm(const char* productKey, const JvmWanted& wanted,
                                   char* version, char* homeDir, char* jvmPath);

private:
    // The count that getAvailableVersions may fill (set by getJvmEntryCount).
    unsigned int entryCount;
    char traceFilename[PathBufferSize];
};

#endif
