// JvmSearch: the search for installed JVMs in the registry, JAVA_HOME and the
// search path.
//
// The product keys under SOFTWARE\JavaSoft hold one subkey per installed
// version with the values MicroVersion and JavaHome; Java 9 and later
// register under SOFTWARE\JavaSoft\JDK and \JRE with the whole version as the
// subkey's name; several vendors' JVM installer programs write only a key of
// their own. Each key is read in every hive and view in which a JVM
// installer program of either bitness may have written it. The subkeys of
// one key are all read first (home, registered version, the home's release
// file), ordered newest first by what they say, and judged in that order:
// the evidence that costs no JVM start first, then JvmProbe's proof by the
// JVM's own answer.
#include "jvm/jvmsearch.h"
#include "base/disknames.h"

#include "base/bitness.h"
#include "base/jvmhome.h"
#include "base/searchpath.h"
#include "base/dirguard.h"
#include "base/regkey.h"
#include "base/scopedbuffer.h"
#include "jvm/jvmprobe.h"
#include "jvm/jvmrelease.h"
#include "jvm/jvmversion.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

static const char JreEntry[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
static const char JdkEntry[] = "SOFTWARE\\JavaSoft\\Java Development Kit";
static const char PluginEntry[] = "SOFTWARE\\JavaSoft\\Java Plug-in";
static const char PluginType[] = "Java Plug-in";
static const char MicroVersionValue[] = "MicroVersion";
static const char JavaHomeValue[] = "JavaHome";
static const char HomeValue[] = "Home";
static const char JavaHomeVariable[] = "JAVA_HOME";
static const char* const PathPrograms[] = {JavawExe, JavaExe};
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

// Keys of today's JVM installer programs, in the order they are searched.
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

struct Candidate {
    char* name;        // the version subkey's name
    char* home;        // "" when the registration names none that can be used
    char* registered;  // the version the registration names
    char* problem;     // why the registration cannot be used, or null
    char release[VersionBufferSize];  // what the home's release file names, or ""
};

struct TriedHome {
    bool byIdentity;
    FileIdentity identity;
    const char* name;  // when the home has no identity (it does not exist): owned once kept
};

// A copy on the heap (null when memory is short).
static char* ownCopy(const char* text) {
    size_t size = strlen(text) + 1;
    char* copy = (char*)malloc(size);
    if (copy) copyText(copy, size, text);
    return copy;
}

// Frees what a candidate holds and empties it.
static void forget(Candidate& candidate) {
    free(candidate.name);
    free(candidate.home);
    free(candidate.registered);
    free(candidate.problem);
    candidate = Candidate();
}

// What is known of a candidate's version before it is started.
static const char* knownVersion(const Candidate& candidate) {
    return candidate.release[0] ? candidate.release : candidate.registered;
}

// qsort ordering of candidates, the newest first; equal ones by name.
static int newestFirst(const void* first, const void* second) {
    const Candidate& a = *(const Candidate*)first;
    const Candidate& b = *(const Candidate*)second;
    int order = compareVersionNumbers(knownVersion(b), knownVersion(a));
    if (!order) order = compareVersionNumbers(b.name, a.name);
    return order ? order : strcmp(b.name, a.name);
}

// The registry type's name, for a value that is not a text.
static const char* typeName(DWORD type) {
    switch (type) {
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return "REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return "REG_LINK";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    case REG_NONE: return "REG_NONE";
    default: return "unknown type";
    }
}

// The number of runs of digits in a version text.
static unsigned numbersIn(const char* text) {
    unsigned count = 0;
    for (const char* c = text; *c; ++c)
        if (isdigit((unsigned char)*c) && (c == text || !isdigit((unsigned char)c[-1]))) ++count;
    return count;
}

// The hives and views a key is read in, in order: HKEY_LOCAL_MACHINE in the
// 64-bit then the 32-bit view when Windows is 64-bit (whichever the program
// is: a 32-bit program would otherwise see the 32-bit view only), in its
// one view on 32-bit Windows; then HKEY_CURRENT_USER, which has one view.
// Fills views (MaxHiveViews entries) and returns their number.
static unsigned hiveViews(bool windows64, HiveView* views) {
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

JvmSearch::JvmSearch()
    : entryCount(0), hiveCount(0), tried(nullptr), triedCount(0), triedCapacity(0),
      searchStart(0), searchLimit(0), stopped(false), refusals(nullptr), stages(nullptr),
      candidateNumber(0), candidateCount(0) {
    hiveCount = hiveViews(windowsIs64Bit(), hives);
}

JvmSearch::~JvmSearch() {
    for (unsigned i = 0; i < triedCount; ++i) free((void*)tried[i].name);
    free(tried);
}

bool JvmSearch::findJvm(const JvmWanted& wanted, const char* jvmKind, JvmFound& accepted) {
    if (refusals) refusals->startSearch();
    // The whole search may take SearchTestTimes test runs' time limits
    // (within what a tick count can hold).
    unsigned long long limit = (unsigned long long)SearchTestTimes * 1000 *
                               (wanted.testSeconds ? wanted.testSeconds
                                                   : (unsigned)JvmWanted::DefaultTestSeconds);
    searchLimit = limit > 0x7FFFFFFF ? 0x7FFFFFFF : (DWORD)limit;
    searchStart = GetTickCount();
    stopped = false;

    // A Java Plug-in is looked for only under its own key.
    bool plugin = _stricmp(jvmKind, PluginType) == 0;
    candidateNumber = 0;
    candidateCount = stages ? countCandidates(plugin) : 0;
    bool found = false;
    for (size_t i = plugin ? dimof(ProductKeys) - 1 : 0; i < dimof(ProductKeys) && !found; ++i) {
        for (unsigned h = 0; h < hiveCount && !found; ++h) {
            found = searchRegistryForJvm(hives[h], ProductKeys[i], wanted, accepted);
        }
        trace(ProductKeys[i].traceText, found);
    }
    for (size_t i = 0; i < dimof(VersionKeys) && !found && !plugin; ++i) {
        for (unsigned h = 0; h < hiveCount && !found; ++h) {
            found = searchRegistryForJvm(hives[h], VersionKeys[i], wanted, accepted);
        }
    }
    if (!found && !plugin) found = searchJavaHome(wanted, accepted);
    if (!found && !plugin) found = searchPath(wanted, accepted);
    if (found) {
        trace("found jvm", accepted.program);
        // The refusals explain nothing once a JVM is found.
        if (refusals) refusals->clear();
        return true;
    }
    return false;
}

bool JvmSearch::searchRegistryForJvm(const HiveView& hive, const RegistrySource& source,
                                  const JvmWanted& wanted, JvmFound& accepted) {
    unsigned seconds;
    if (!timeLeft(wanted, &seconds)) return false;
    RegKey key;
    if (key.open(hive.root, source.key, KEY_READ | hive.view) != ERROR_SUCCESS) {
        if (source.microVersion) trace("unable to find a compatible Jvm");
        return false;
    }
    unsigned int count = getJvmEntryCount(key.get());
    if (count == 0) {
        trace("unable to find a compatible Jvm");
        return false;
    }
    ScopedTextList versions;
    ScopedBuffer<Candidate> candidates((Candidate*)calloc(count, sizeof(Candidate)));
    if (!versions.allocate(count) || !candidates) {
        trace("out of memory listing versions of", source.key);
        return false;
    }
    unsigned int listed = getAvailableVersions(key.get(), versions);
    key.close();

    char where[PathBufferSize];
    formatText(where, sizeof where, "%s\\%s%s", hive.rootName, source.key, hive.viewName);
    trace("searching registry entry", where);
    unsigned int read = 0;
    for (unsigned int i = 0; i < listed; ++i)
        if (readRegistration(hive, source, versions.get()[i], candidates[read])) ++read;
    qsort(candidates, read, sizeof(Candidate), newestFirst);
    trace("sorted available versions");

    bool found = false;
    for (unsigned int i = 0; i < read && !found; ++i) {
        const Candidate& candidate = candidates[i];
        trace("                 version", candidate.name);
        char versionKey[PathBufferSize];
        formatText(versionKey, sizeof versionKey, "%s\\%s%s%s", source.key, candidate.name,
                   *source.below ? PathSeparator : "", source.below);
        formatText(where, sizeof where, "%s\\%s%s", hive.rootName, versionKey, hive.viewName);
        if (candidate.problem) {
            ++candidateNumber;
            trace(candidate.problem, versionKey);
            trace("found jvm", false);
            if (refusals) refusals->add(where, "", candidate.problem);
            continue;
        }
        found = tryHome(where, candidate.home, candidate.registered, candidate.release, wanted,
                        accepted);
        if (!found && !timeLeft(wanted, &seconds)) break;
    }
    for (unsigned int i = 0; i < read; ++i) forget(candidates[i]);
    if (!found) trace("unable to find a compatible Jvm");
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

unsigned int JvmSearch::getJvmEntryCount(HKEY productKey) {
    trace("counting registry elements");
    unsigned int count = 0;
    enumerateSubkeys(productKey, [&count](const char*) {
        ++count;
        return true;
    });
    entryCount = count;
    return count;
}

unsigned int JvmSearch::getAvailableVersions(HKEY productKey, ScopedTextList& versions) {
    trace("getting list of available versions");
    unsigned int count = 0;
    // A key that gained subkeys since they were counted must not overrun the
    // list: at most the counted number of names is taken.
    enumerateSubkeys(productKey, [&](const char* name) {
        if (count >= entryCount) return false;
        char* copy = ownCopy(name);
        if (!copy) return false;
        versions.add(copy);
        ++count;
        return true;
    });
    char text[60];
    formatText(text, sizeof text, "available versions: %u", count);
    trace(text);
    return count;
}

// Drops the blanks and quotes around a directory and its trailing
// separators (JVM installer programs write "C:\...\jdk-17.0.9.9-hotspot\"); a drive
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

// Reads a value that names a directory as Windows means it: a REG_SZ as it
// is, a REG_EXPAND_SZ with its environment variables expanded. Anything
// else gives problem (a refusal naming the value and its type). False when
// the value is missing.
static bool readDirectoryValue(const RegKey& key, const char* name, char* value, size_t cap,
                               char* problem, size_t problemCap) {
    problem[0] = '\0';
    DWORD type;
    if (key.readValue(name, value, cap, &type) != ERROR_SUCCESS || !value[0]) {
        value[0] = '\0';
        return false;
    }
    if (type == REG_SZ) return true;
    if (type == REG_EXPAND_SZ) {
        ScopedText expanded(ScopedText::allocate(cap));
        DWORD length = expanded ? ExpandEnvironmentStringsA(value, expanded, (DWORD)cap) : 0;
        if (length == 0 || length > cap) {
            formatText(problem, problemCap, "%s (REG_EXPAND_SZ) could not be expanded", name);
            value[0] = '\0';
        } else {
            copyText(value, cap, expanded);
        }
        return true;
    }
    formatText(problem, problemCap, "%s is a %s value, not a directory", name, typeName(type));
    value[0] = '\0';
    return true;
}

bool JvmSearch::readRegistration(const HiveView& hive, const RegistrySource& source,
                              const char* versionName, Candidate& candidate) {
    char versionKey[PathBufferSize];
    RegKey key;
    if (!formatText(versionKey, sizeof versionKey, "%s\\%s%s%s", source.key, versionName,
                    *source.below ? PathSeparator : "", source.below) ||
        key.open(hive.root, versionKey, KEY_QUERY_VALUE | hive.view) != ERROR_SUCCESS) {
        trace("no such registry entry", versionKey);
        return false;
    }

    char version[PathBufferSize];
    char value[PathBufferSize];
    if (source.microVersion) {
        // "1.8" with MicroVersion 0 is 1.8.0; a name that holds its micro
        // version already ("1.6.0_31") is the version as it is. Without a
        // micro version the name alone is the range the key stands for.
        copyText(version, versionName);
        DWORD type;
        key.readValue(MicroVersionValue, value, sizeof value, &type);
        if (value[0] && type != REG_SZ && type != REG_EXPAND_SZ) value[0] = '\0';
        if (!value[0]) {
            trace("no known minor version for", source.key);
        } else if (numbersIn(versionName) <= 2) {
            appendText(version, ".");
            appendText(version, value);
        }
    } else {
        // The name is the version, after a product word ("zulu-21").
        const char* digit = versionName;
        while (*digit && !isdigit((unsigned char)*digit)) ++digit;
        copyText(version, digit);
    }

    char problem[300];
    bool named = readDirectoryValue(key, source.homeValue, value, sizeof value, problem,
                                    sizeof problem);
    if (!named && source.microVersion)
        named = readDirectoryValue(key, HomeValue, value, sizeof value, problem, sizeof problem);
    key.close();
    tidyHome(value);
    if (!problem[0] && !value[0]) copyText(problem, "no home directory recorded");

    candidate.name = ownCopy(versionName);
    candidate.home = ownCopy(value);
    candidate.registered = ownCopy(version);
    candidate.problem = problem[0] ? ownCopy(problem) : nullptr;
    candidate.release[0] = '\0';
    if (!candidate.name || !candidate.home || !candidate.registered ||
        (problem[0] && !candidate.problem)) {
        forget(candidate);
        trace("out of memory reading", versionKey);
        return false;
    }
    if (value[0]) readReleaseVersion(value, candidate.release, sizeof candidate.release);
    return true;
}

bool JvmSearch::searchJavaHome(const JvmWanted& wanted, JvmFound& accepted) {
    const char* variable = getenv(JavaHomeVariable);
    char home[PathBufferSize];
    if (!variable || !copyText(home, variable)) {
        trace("no JVM named by", JavaHomeVariable);
        return false;
    }
    tidyHome(home);
    if (!home[0]) {
        trace("no JVM named by", JavaHomeVariable);
        return false;
    }
    trace("searching", JavaHomeVariable);
    char release[VersionBufferSize];
    readReleaseVersion(home, release, sizeof release);
    return tryHome(JavaHomeVariable, home, "", release, wanted, accepted);
}

// The first of javaw.exe and java.exe in the directory home (tidied) into
// program (PathBufferSize bytes); false when it has neither.
static bool pathProgram(const char* home, char* program) {
    for (const char* name : PathPrograms) {
        if (!home[0] || !formatText(program, PathBufferSize, "%s%s%s", home, PathSeparator, name))
            continue;
        DWORD attributes = GetFileAttributesA(program);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
    }
    return false;
}

// Every element of the search path in turn, tidied into home
// (PathBufferSize bytes), until visit returns false.
template <typename Visit>
static void forEachPathElement(Visit visit) {
    const char* searchPath = getPathPtr();
    if (!searchPath) return;
    size_t size = strlen(searchPath) + 1;
    ScopedText elements(ScopedText::allocate(size));
    if (!elements) return;
    copyText(elements, size, searchPath);
    char home[PathBufferSize];
    bool going = true;
    for (char* element = elements; element && going;) {
        char* separator = strchr(element, ';');
        if (separator) *separator = '\0';
        if (copyText(home, element)) {
            tidyHome(home);
            going = visit(home);
        }
        element = separator ? separator + 1 : nullptr;
    }
}

unsigned JvmSearch::countCandidates(bool plugin) const {
    unsigned count = 0;
    auto countKey = [&](const RegistrySource& source) {
        for (unsigned h = 0; h < hiveCount; ++h) {
            RegKey key;
            DWORD subkeys = 0;
            if (key.open(hives[h].root, source.key, KEY_READ | hives[h].view) == ERROR_SUCCESS &&
                RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr) == ERROR_SUCCESS)
                count += (unsigned)subkeys;
        }
    };
    for (size_t i = plugin ? dimof(ProductKeys) - 1 : 0; i < dimof(ProductKeys); ++i)
        countKey(ProductKeys[i]);
    if (plugin) return count;
    for (const RegistrySource& source : VersionKeys) countKey(source);
    const char* javaHome = getenv(JavaHomeVariable);
    if (javaHome && javaHome[0]) ++count;
    char program[PathBufferSize];
    forEachPathElement([&](const char* home) {
        if (pathProgram(home, program)) ++count;
        return true;
    });
    return count;
}

bool JvmSearch::searchPath(const JvmWanted& wanted, JvmFound& accepted) {
    if (!getPathPtr()) return false;
    trace("searching the search path for", "javaw.exe, java.exe");
    bool found = false;
    unsigned seconds;
    char program[PathBufferSize];
    char where[PathBufferSize];
    forEachPathElement([&](char* home) {
        if (!timeLeft(wanted, &seconds)) return false;
        if (pathProgram(home, program)) {
            // The program's directory is the home's bin (or the home).
            formatText(where, sizeof where, "PATH %s", program);
            cutFinalBinLevel(home);
            char release[VersionBufferSize];
            readReleaseVersion(home, release, sizeof release);
            found = tryHome(where, home, "", release, wanted, accepted);
        }
        return !found;
    });
    return found;
}

bool JvmSearch::triedAlready(const TriedHome& home) const {
    for (unsigned i = 0; i < triedCount; ++i) {
        const TriedHome& other = tried[i];
        if (home.byIdentity ? other.byIdentity && sameIdentity(other.identity, home.identity)
                            : !other.byIdentity && _stricmp(other.name, home.name) == 0)
            return true;
    }
    return false;
}

void JvmSearch::remember(const TriedHome& home) {
    if (triedCount == triedCapacity) {
        unsigned grown = triedCapacity ? triedCapacity * 2 : 16;
        TriedHome* larger = (TriedHome*)realloc(tried, grown * sizeof(TriedHome));
        if (!larger) return;  // not remembered: at worst proved again
        tried = larger;
        triedCapacity = grown;
    }
    TriedHome kept = home;
    if (!kept.byIdentity && !(kept.name = ownCopy(home.name))) return;
    if (kept.byIdentity) kept.name = nullptr;
    tried[triedCount++] = kept;
}

bool JvmSearch::timeLeft(const JvmWanted& wanted, unsigned* seconds) {
    if (stopped) return false;
    DWORD spent = GetTickCount() - searchStart;
    if (spent >= searchLimit) {
        stopped = true;
        char text[200];
        formatText(text, sizeof text,
                   "JVM search stopped after %lu seconds (%u times jvmTestTimeout); the "
                   "candidates after those listed were not examined",
                   (unsigned long)(searchLimit / 1000), (unsigned)SearchTestTimes);
        trace(text);
        if (refusals) refusals->note(text);
        return false;
    }
    unsigned left = (unsigned)((searchLimit - spent + 999) / 1000);
    unsigned limit = wanted.testSeconds ? wanted.testSeconds
                                        : (unsigned)JvmWanted::DefaultTestSeconds;
    *seconds = left < limit ? left : limit;
    return true;
}

void JvmSearch::refuse(const char* where, const char* home, const char* format,
                    const char* detail) {
    char reason[VersionBufferSize + 100];
    formatText(reason, sizeof reason, format, detail);
    trace("refused without a start:", reason);
    trace("found jvm", false);
    if (refusals) refusals->add(where, home, reason);
}

bool JvmSearch::tryHome(const char* where, const char* home, const char* registered,
                     const char* release, const JvmWanted& wanted, JvmFound& accepted) {
    ++candidateNumber;
    // The home's identity, taken once: every name of it is the same home.
    TriedHome identity = {};
    identity.byIdentity = fileIdentity(home, &identity.identity);
    identity.name = home;  // not kept: remember copies it
    if (triedAlready(identity)) {
        trace("tried already:", home);
        return false;
    }
    // A registration names a range: it refuses only when no version of it
    // can meet the limits, and then leaves the home to other registrations.
    if (*registered && !JvmProbe::rangeMeetsLimits(wanted, registered)) {
        refuse(where, home, "registered as version %s, outside the limits", registered);
        return false;
    }
    remember(identity);
    JvmProbe probe;
    if (*release) {
        trace("release file of the home names version", release);
        if (!probe.meetsLimits(wanted, release)) {
            refuse(where, home, "its release file names version %s, outside the limits", release);
            return false;
        }
    }
    unsigned seconds;
    if (!timeLeft(wanted, &seconds)) return false;
    JvmWanted bounded = wanted;
    bounded.testSeconds = seconds;
    trace("testing jvm in:", home);
    if (stages) {
        // A key that gained subkeys since they were counted.
        if (candidateNumber > candidateCount) candidateCount = candidateNumber;
        stages->checking(candidateNumber, candidateCount);
    }
    bool found = probe.proveHome(bounded, home, accepted);
    trace("found jvm", found);
    if (found) trace("JVM found under", where);
    else if (refusals) refusals->add(where, home, probe.refusal());
    return found;
}
