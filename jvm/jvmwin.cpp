// JvmWin: the registry search for installed JVMs.
//
// Each product key under HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft holds one
// subkey per installed version, named by the version, with the values
// MicroVersion and JavaHome. The names are sorted in byte order and tried
// from the greatest down; JvmOk proves each candidate by a test run and
// holds both the reported and the registry's version against the limits.
#include "jvm/jvmwin.h"

#include "base/clib.h"
#include "base/regkey.h"
#include "jvm/jvmok.h"

#include <stdlib.h>
#include <string.h>

static const char JreEntry[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char JdkEntry[] = "SOFTWARE\\JavaSoft\\Java Development Kit";
static const char PluginEntry[] = "SOFTWARE\\JavaSoft\\Java Plug-in";
static const char PluginType[] = "Java Plug-in";
static const char TraceFilename[] = "jinstall.log";
static const char MicroVersionValue[] = "MicroVersion";
static const char JavaHomeValue[] = "JavaHome";
static const char HomeValue[] = "Home";

// The product keys in the order they are searched, the plug-in last.
struct ProductKey {
    const char* key;
    const char* traceText;
};
static const ProductKey ProductKeys[] = {
    {JreEntry, "JRE registry entry had correct jvm info"},
    {JdkEntry, "JDK registry entry had correct jvm info"},
    {PluginEntry, "Java Plugin registry entry had correct jvm info"},
};

int compareStrings(const void* first, const void* second) {
    return JvmOk::compareVersions(*(const char* const*)first, *(const char* const*)second);
}

JvmWin::JvmWin() : entryCount(0) { copyText(traceFilename, TraceFilename); }

JvmWin::~JvmWin() {}

bool JvmWin::searchWindowsForJvm(const JvmWanted& wanted, const char* jvmKind,
                                 char* jvmPath) {
    char* commandName = wanted.commandName;
    char kept[JvmWanted::CommandNameSize];
    copyText(kept, commandName);

    // A Java Plug-in is looked for only under its own key.
    size_t first = _stricmp(jvmKind, PluginType) == 0 ? dimof(ProductKeys) - 1 : 0;
    for (size_t i = first; i < dimof(ProductKeys); ++i) {
        copyText(commandName, JvmWanted::CommandNameSize, kept);
        bool found = searchRegistryForJvm(ProductKeys[i].key, wanted, jvmPath);
        traceMessage(traceFilename, ProductKeys[i].traceText, found);
        if (found) {
            traceMessage(traceFilename, "found jvm", jvmPath);
            return true;
        }
    }
    copyText(commandName, JvmWanted::CommandNameSize, kept);
    return false;
}

bool JvmWin::searchRegistryForJvm(const char* productKey, const JvmWanted& wanted, char* jvmPath) {
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, productKey, KEY_READ) != ERROR_SUCCESS) {
        traceMessage(traceFilename, "unable to find a compatible Jvm");
        return false;
    }
    unsigned int count = getJvmEntryCount(key.get());
    if (count == 0) {
        key.close();
        traceMessage(traceFilename, "unable to find a compatible Jvm");
        return false;
    }
    char** versions = (char**)calloc(count + 1, sizeof(char*));
    if (!versions) {
        traceMessage(traceFilename, "out of memory listing versions of", productKey);
        return false;
    }
    unsigned int listed = getAvailableVersions(key.get(), versions);
    key.close();
    if (listed == 0) {
        free(versions);
        traceMessage(traceFilename, "unable to find a compatible Jvm");
        return false;
    }
    qsort(versions, listed, sizeof(char*), compareStrings);
    traceMessage(traceFilename, "sorted available versions");

    bool found = findMostRecentJvm(versions, listed, productKey, wanted, jvmPath);
    for (unsigned int i = 0; i < listed; ++i) free(versions[i]);
    free(versions);
    if (found) return true;
    traceMessage(traceFilename, "unable to find a compatible Jvm");
    return false;
}

// Enumerates the subkey names of key from index 0 until the registry has no
// more. A name that cannot be read is skipped; an error that is neither
// success nor a name too long for the buffer ends the walk, since it would
// repeat for every index.
template <typename Visit>
static void enumerateSubkeys(HKEY key, Visit visit) {
    char name[PathBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = PathBufferSize;
        LONG status = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        name[PathBufferSize - 1] = '\0';
        if (!visit(name)) break;
    }
}

unsigned int JvmWin::getJvmEntryCount(HKEY productKey) {
    traceMessage(traceFilename, "counting registry elements");
    unsigned int count = 0;
    enumerateSubkeys(productKey, [&count](const char*) {
        ++count;
        return true;
    });
    entryCount = count;
    return count;
}

unsigned int JvmWin::getAvailableVersions(HKEY productKey, char** versions) {
    traceMessage(traceFilename, "getting list of available versions");
    unsigned int count = 0;
    unsigned int capacity = entryCount;
    // A key that gained subkeys since they were counted must not overrun the
    // array: at most the counted number of names is taken.
    enumerateSubkeys(productKey, [&](const char* name) {
        if (count >= capacity) return false;
        char* copy = (char*)malloc(PathBufferSize);
        if (!copy) return false;
        copyText(copy, PathBufferSize, name);
        versions[count++] = copy;
        return true;
    });
    versions[count] = nullptr;
    char text[60];
    formatText(text, sizeof text, "available versions: %u", count);
    traceMessage(traceFilename, text);
    return count;
}

bool JvmWin::findMostRecentJvm(char** versions, unsigned int count, const char* productKey,
                               const JvmWanted& wanted, char* jvmPath) {
    traceMessage(traceFilename, "searching registry entry", productKey);
    char version[PathBufferSize];
    char homeDir[PathBufferSize];
    for (unsigned int i = count; i > 0; --i) {
        copyText(version, versions[i - 1]);
        traceMessage(traceFilename, "                 version", version);
        if (lookUpRegistryEntryForJvm(productKey, wanted, version,
                                      homeDir, jvmPath))
            return true;
    }
    return false;
}

bool JvmWin::lookUpRegistryEntryForJvm(const char* productKey, const JvmWanted& wanted,
                                       char* version, char* homeDir, char* jvmPath) {
    homeDir[0] = '\0';
    char versionKey[PathBufferSize];
    if (!formatText(versionKey, sizeof versionKey, "%s\\%s", productKey, version)) {
        traceMessage(traceFilename, "no such registry entry", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        return false;
    }
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, versionKey, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
        traceMessage(traceFilename, "no such registry entry", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        return false;
    }

    char value[PathBufferSize];
    key.readValue(MicroVersionValue, value, sizeof value);
    if (!value[0]) {
        // No micro version (the plug-in's version keys carry none): the
        // limit's own micro part stands in, so that the registry's version
        // string neither adds to nor contradicts what the limit asks for.
        traceMessage(traceFilename, "no known minor version for", productKey);
        const char* limit = *wanted.required ? wanted.required : wanted.minimum;
        size_t size = strlen(limit) + 2;
        char* base = (char*)malloc(size);
        char* micro = (char*)malloc(size);
        if (base && micro) {
            parseVersion(limit, base, micro);
            copyText(value, micro);
        } else {
            copyText(value, "0");
        }
        free(base);
        free(micro);
    }
    appendText(version, PathBufferSize, ".");
    appendText(version, PathBufferSize, value);

    key.readValue(JavaHomeValue, value, sizeof value);
    if (!value[0]) key.readValue(HomeValue, value, sizeof value);
    key.close();
    if (!value[0]) {
        traceMessage(traceFilename, "no home directory for jvm", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        return false;
    }
    copyText(homeDir, PathBufferSize, value);
    traceMessage(traceFilename, "testing jvm in:", homeDir);

    JvmOk jvmOk;
    jvmOk.setTraceFilename(traceFilename);
    bool found = jvmOk.jvmCorrectVersion(wanted, version, homeDir, jvmPath);
    traceMessage(traceFilename, "found jvm", found);
    return found;
}
