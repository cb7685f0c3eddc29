// JvmWin: the search for installed JVMs in the registry, JAVA_HOME and the
// search path.
//
// The product keys under SOFTWARE\JavaSoft hold one subkey per installed
// version with the values MicroVersion and JavaHome; Java 9 and later
// register under SOFTWARE\JavaSoft\JDK and \JRE with the whole version as the
// subkey's name; several vendors' installers write only a key of their own.
// Each key is read in every hive and view in which an installer of either
// bitness may have written it; the version names of one key are sorted by
// number and tried from the newest down; JvmOk proves each candidate by a
// test run and holds both the reported and the registered version against
// the limits.
#include "jvm/jvmwin.h"

#include "base/bitness.h"
#include "base/clib.h"
#include "base/dirguard.h"
#include "base/regkey.h"
#include "jvm/jvmok.h"

#include <ctype.h>
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
static const char JavaHomeVariable[] = "JAVA_HOME";
static const char* const PathPrograms[] = {"javaw.exe", "java.exe"};
static const char DIR_END[] = "\\";
static const char LocalMachine[] = "HKEY_LOCAL_MACHINE";

struct RegistrySource {
    const char* key;
    const char* below;      // below the version's subkey, where the home is named
    const char* homeValue;
    bool microVersion;      // a product key: MicroVersion extends the version
    const char* traceText;  // the product key's verdict line
};

// The product keys in the order they are searched, the plug-in last.
static const RegistrySource ProductKeys[] = {
    {JreEntry, "", JavaHomeValue, true, "JRE registry entry had correct jvm info"},
    {JdkEntry, "", JavaHomeValue, true, "JDK registry entry had correct jvm info"},
    {PluginEntry, "", JavaHomeValue, true, "Java Plugin registry entry had correct jvm info"},
};

// Keys of today's installers, in the order they are searched.
static const RegistrySource VersionKeys[] = {
    {"SOFTWARE\\JavaSoft\\JDK", "", JavaHomeValue, false, nullptr},
    {"SOFTWARE\\JavaSoft\\JRE", "", JavaHomeValue, false, nullptr},
    {"SOFTWARE\\Eclipse Adoptium\\JDK", "hotspot\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\Eclipse Adoptium\\JRE", "hotspot\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\AdoptOpenJDK\\JDK", "hotspot\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\AdoptOpenJDK\\JRE", "hotspot\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\AdoptOpenJDK\\JDK", "openj9\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\AdoptOpenJDK\\JRE", "openj9\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\Microsoft\\JDK", "hotspot\\MSI", "Path", false, nullptr},
    {"SOFTWARE\\Azul Systems\\Zulu", "", "InstallationPath", false, nullptr},
};

int compareStrings(const void* first, const void* second) {
    return JvmOk::compareVersions(*(const char* const*)first, *(const char* const*)second);
}

unsigned hiveViews(bool windows64, HiveView* views) {
    unsigned count = 0;
    if (windows64) {
        views[count++] = {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, LocalMachine, " (64-bit view)"};
        views[count++] = {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, LocalMachine, " (32-bit view)"};
    } else {
        // 32-bit Windows has one view; older ones refuse the view flags.
        views[count++] = {HKEY_LOCAL_MACHINE, 0, LocalMachine, ""};
    }
    views[count++] = {HKEY_CURRENT_USER, 0, "HKEY_CURRENT_USER", ""};
    return count;
}

JvmWin::JvmWin()
    : entryCount(0), hiveCount(0), triedHomes(nullptr), triedCount(0), triedCapacity(0),
      refusals(nullptr) {
    copyText(traceFilename, TraceFilename);
    hiveCount = hiveViews(windowsIs64Bit(), hives);
}

JvmWin::~JvmWin() {
    for (unsigned i = 0; i < triedCount; ++i) free(triedHomes[i]);
    free(triedHomes);
}

bool JvmWin::searchWindowsForJvm(const JvmWanted& wanted, const char* jvmKind,
                                 char* jvmPath) {
    char* commandName = wanted.commandName;
    char kept[JvmWanted::CommandNameSize];
    copyText(kept, commandName);
    if (refusals) refusals->startSearch();

    // A Java Plug-in is looked for only under its own key.
    bool plugin = _stricmp(jvmKind, PluginType) == 0;
    bool found = false;
    for (size_t i = plugin ? dimof(ProductKeys) - 1 : 0; i < dimof(ProductKeys) && !found; ++i) {
        for (unsigned h = 0; h < hiveCount && !found; ++h) {
            copyText(commandName, JvmWanted::CommandNameSize, kept);
            found = searchRegistryForJvm(hives[h], ProductKeys[i], wanted, jvmPath);
        }
        traceMessage(traceFilename, ProductKeys[i].traceText, found);
    }
    for (size_t i = 0; i < dimof(VersionKeys) && !found && !plugin; ++i) {
        for (unsigned h = 0; h < hiveCount && !found; ++h) {
            copyText(commandName, JvmWanted::CommandNameSize, kept);
            found = searchRegistryForJvm(hives[h], VersionKeys[i], wanted, jvmPath);
        }
    }
    if (!found && !plugin) {
        copyText(commandName, JvmWanted::CommandNameSize, kept);
        found = searchJavaHome(wanted, jvmPath);
    }
    if (!found && !plugin) {
        copyText(commandName, JvmWanted::CommandNameSize, kept);
        found = searchPath(wanted, jvmPath);
    }
    if (found) {
        traceMessage(traceFilename, "found jvm", jvmPath);
        return true;
    }
    copyText(commandName, JvmWanted::CommandNameSize, kept);
    return false;
}

bool JvmWin::searchRegistryForJvm(const HiveView& hive, const RegistrySource& source,
                                  const JvmWanted& wanted, char* jvmPath) {
    RegKey key;
    if (key.open(hive.root, source.key, KEY_READ | hive.view) != ERROR_SUCCESS) {
        if (source.microVersion) traceMessage(traceFilename, "unable to find a compatible Jvm");
        return false;
    }
    unsigned int count = getJvmEntryCount(key.get());
    if (count == 0) {
        traceMessage(traceFilename, "unable to find a compatible Jvm");
        return false;
    }
    char** versions = (char**)calloc(count + 1, sizeof(char*));
    if (!versions) {
        traceMessage(traceFilename, "out of memory listing versions of", source.key);
        return false;
    }
    unsigned int listed = getAvailableVersions(key.get(), versions);
    key.close();
    bool found = false;
    if (listed > 0) {
        qsort(versions, listed, sizeof(char*), compareStrings);
        traceMessage(traceFilename, "sorted available versions");
        found = findMostRecentJvm(hive, source, versions, listed, wanted, jvmPath);
    }
    for (unsigned int i = 0; i < listed; ++i) free(versions[i]);
    free(versions);
    if (!found) traceMessage(traceFilename, "unable to find a compatible Jvm");
    return found;
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
        size_t size = strlen(name) + 1;
        char* copy = (char*)malloc(size);
        if (!copy) return false;
        copyText(copy, size, name);
        versions[count++] = copy;
        return true;
    });
    versions[count] = nullptr;
    char text[60];
    formatText(text, sizeof text, "available versions: %u", count);
    traceMessage(traceFilename, text);
    return count;
}

bool JvmWin::findMostRecentJvm(const HiveView& hive, const RegistrySource& source,
                               char** versions, unsigned int count, const JvmWanted& wanted,
                               char* jvmPath) {
    char where[PathBufferSize];
    formatText(where, sizeof where, "%s\\%s%s", hive.rootName, source.key, hive.viewName);
    traceMessage(traceFilename, "searching registry entry", where);
    for (unsigned int i = count; i > 0; --i) {
        traceMessage(traceFilename, "                 version", versions[i - 1]);
        if (lookUpRegistryEntryForJvm(hive, source, wanted, versions[i - 1], jvmPath))
            return true;
    }
    return false;
}

// Drops the blanks and quotes around a directory and its trailing
// separators (installers write "C:\...\jdk-17.0.9.9-hotspot\"); a drive
// root keeps its backslash.
static void tidyHome(char* home) {
    size_t length = strlen(home);
    while (length > 0 && (home[length - 1] == ' ' || home[length - 1] == '"')) --length;
    home[length] = '\0';
    size_t lead = strspn(home, " \"");
    memmove(home, home + lead, length - lead + 1);
    length -= lead;
    while (length > 0 && (home[length - 1] == '\\' || home[length - 1] == '/')) --length;
    if (length == 2 && home[1] == ':') ++length;
    home[length] = '\0';
}

bool JvmWin::lookUpRegistryEntryForJvm(const HiveView& hive, const RegistrySource& source,
                                       const JvmWanted& wanted, const char* versionName,
                                       char* jvmPath) {
    char versionKey[PathBufferSize];
    if (!formatText(versionKey, sizeof versionKey, "%s\\%s%s%s", source.key, versionName,
                    *source.below ? DIR_END : "", source.below)) {
        traceMessage(traceFilename, "no such registry entry", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        return false;
    }
    char where[PathBufferSize];
    formatText(where, sizeof where, "%s\\%s%s", hive.rootName, versionKey, hive.viewName);
    RegKey key;
    if (key.open(hive.root, versionKey, KEY_QUERY_VALUE | hive.view) != ERROR_SUCCESS) {
        traceMessage(traceFilename, "no such registry entry", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        return false;
    }

    char version[PathBufferSize];
    char value[PathBufferSize];
    if (source.microVersion) {
        copyText(version, versionName);
        key.readValue(MicroVersionValue, value, sizeof value);
        if (!value[0]) {
            // No micro version (the plug-in's version keys carry none): the
            // limit's own micro part stands in, so that the registry's
            // version string neither adds to nor contradicts the limit.
            traceMessage(traceFilename, "no known minor version for", source.key);
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
        appendText(version, ".");
        appendText(version, value);
    } else {
        // The name is the version, after a product word ("zulu-21").
        const char* digit = versionName;
        while (*digit && !isdigit((unsigned char)*digit)) ++digit;
        copyText(version, digit);
    }

    key.readValue(source.homeValue, value, sizeof value);
    if (!value[0] && source.microVersion) key.readValue(HomeValue, value, sizeof value);
    key.close();
    tidyHome(value);
    if (!value[0]) {
        traceMessage(traceFilename, "no home directory for jvm", versionKey);
        traceMessage(traceFilename, "found jvm", false);
        if (refusals) refusals->add(where, "", "no home directory recorded");
        return false;
    }
    return tryHome(where, value, version, wanted, jvmPath);
}

bool JvmWin::searchJavaHome(const JvmWanted& wanted, char* jvmPath) {
    const char* variable = getenv(JavaHomeVariable);
    char home[PathBufferSize];
    if (!variable || !copyText(home, variable)) {
        traceMessage(traceFilename, "no JVM named by", JavaHomeVariable);
        return false;
    }
    tidyHome(home);
    if (!home[0]) {
        traceMessage(traceFilename, "no JVM named by", JavaHomeVariable);
        return false;
    }
    traceMessage(traceFilename, "searching", JavaHomeVariable);
    return tryHome(JavaHomeVariable, home, nullptr, wanted, jvmPath);
}

bool JvmWin::searchPath(const JvmWanted& wanted, char* jvmPath) {
    const char* searchPath = getPathPtr();
    if (!searchPath) return false;
    traceMessage(traceFilename, "searching the search path for", "javaw.exe, java.exe");
    size_t size = strlen(searchPath) + 1;
    char* elements = (char*)malloc(size);
    if (!elements) return false;
    copyText(elements, size, searchPath);

    bool found = false;
    char home[PathBufferSize];
    char program[PathBufferSize];
    char where[PathBufferSize];
    for (char* element = elements; element && !found;) {
        char* separator = strchr(element, ';');
        if (separator) *separator = '\0';
        if (copyText(home, element)) {
            tidyHome(home);
            for (const char* name : PathPrograms) {
                if (!home[0] || !formatText(program, sizeof program, "%s%s%s", home, DIR_END, name))
                    continue;
                DWORD attributes = GetFileAttributesA(program);
                if (attributes == INVALID_FILE_ATTRIBUTES ||
                    (attributes & FILE_ATTRIBUTE_DIRECTORY))
                    continue;
                // The program's directory is the home's bin (or the home).
                formatText(where, sizeof where, "PATH %s", program);
                cutFinalBinLevel(home);
                found = tryHome(where, home, nullptr, wanted, jvmPath);
                break;
            }
        }
        element = separator ? separator + 1 : nullptr;
    }
    free(elements);
    return found;
}

bool JvmWin::firstTry(const char* home) {
    for (unsigned i = 0; i < triedCount; ++i)
        if (sameDirectory(triedHomes[i], home)) return false;
    if (triedCount == triedCapacity) {
        unsigned grown = triedCapacity ? triedCapacity * 2 : 16;
        char** larger = (char**)realloc(triedHomes, grown * sizeof(char*));
        if (!larger) return true;  // not remembered: at worst tried again
        triedHomes = larger;
        triedCapacity = grown;
    }
    size_t size = strlen(home) + 1;
    char* copy = (char*)malloc(size);
    if (copy) {
        copyText(copy, size, home);
        triedHomes[triedCount++] = copy;
    }
    return true;
}

bool JvmWin::tryHome(const char* where, char* home, const char* knownVersion,
                     const JvmWanted& wanted, char* jvmPath) {
    if (!firstTry(home)) {
        traceMessage(traceFilename, "tried already:", home);
        return false;
    }
    traceMessage(traceFilename, "testing jvm in:", home);
    JvmOk jvmOk;
    jvmOk.setTraceFilename(traceFilename);
    bool found = knownVersion ? jvmOk.jvmCorrectVersion(wanted, knownVersion, home, jvmPath)
                              : jvmOk.jvmCorrectVersion(wanted, home, jvmPath);
    traceMessage(traceFilename, "found jvm", found);
    if (found) traceMessage(traceFilename, "JVM found under", where);
    else if (refusals) refusals->add(where, home, jvmOk.refusal());
    return found;
}
