// JvmSearch: the search for an installed JVM. It walks, in this order:
//   the product keys SOFTWARE\JavaSoft\Java Runtime Environment, ...\Java
//   Development Kit and ...\Java Plug-in (version subkeys with MicroVersion
//   and JavaHome);
//   SOFTWARE\JavaSoft\JDK and ...\JRE, where the version's subkey name is the
//   whole version (JavaHome);
//   the keys some vendors' JVM installer programs write alone (Eclipse Adoptium,
//   AdoptOpenJDK, Microsoft: <version>\hotspot\MSI, value Path; Azul Zulu:
//   zulu-<version>, value InstallationPath);
//   JAVA_HOME; and the first javaw.exe or java.exe on the search path.
// Every registry key is read in HKEY_LOCAL_MACHINE in the 64-bit and the
// 32-bit view (the one view on 32-bit Windows), then in HKEY_CURRENT_USER.
//
// Cheap evidence first, the proof last. What a registration names is a
// range ("17", "1.8.0" stand for every version they begin): it refuses a
// candidate, without starting it, only when no version of the range meets
// the limits, and such a candidate is not counted as tried, so that another
// registration of the same home is still judged. A home's release file
// names its exact version and refuses alike. Within a key the candidates
// are tried newest first by what is known of them (release file, else
// registration); JvmProbe proves each by the JVM's own answer, which alone
// accepts. A home is proved once, however it is spelt: its file identity
// is taken once and kept. Those refused are listed with the reason and the
// evidence that refused them. A Java Plug-in is looked for under its key
// only.
//
// The search as a whole is bounded: after SearchTestTimes times the test
// run's time limit ("jvmTestTimeout", 5 x 60 s by default) it stops, says
// so in the list of refusals and reports what it tried; a test run never
// outlasts what is left of that time.
//
// The candidates are counted before the first is judged (the version
// subkeys of every key, JAVA_HOME, the search path's programs), so that the
// one being proved can be named as "2 of 5" (setStages).
#ifndef JVM_JVMSEARCH_H
#define JVM_JVMSEARCH_H

#include "base/strbuf.h"
#include "base/report.h"
#include "jvm/jvmwanted.h"
#include "jvm/refusals.h"
#include "jvm/searchstages.h"

#include <windows.h>

class ScopedTextList;

// A hive and the registry view it is read in.
struct HiveView {
    HKEY root;
    REGSAM view;           // KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0
    const char* rootName;  // "HKEY_LOCAL_MACHINE", as the refusals name it
    const char* viewName;  // " (64-bit view)", " (32-bit view)" or ""
};
enum { MaxHiveViews = 3 };


// One registry key that lists JVMs by version.
struct RegistrySource;
// A JVM a source names, with what is known of it before it is started.
struct Candidate;
// A home proved already: its file identity, or its name when it has none.
struct TriedHome;

// The search's overall time limit, in test-run time limits.
enum { SearchTestTimes = 5 };

class JvmSearch {
public:
    JvmSearch();
    ~JvmSearch();
    JvmSearch(const JvmSearch&) = delete;
    JvmSearch& operator=(const JvmSearch&) = delete;

    // Where the refused candidates go (none when null).
    void setRefusals(RefusalList* list) { refusals = list; }
    // Who is told of each candidate being proved (nobody when null).
    void setStages(SearchStages* observer) { stages = observer; }

    // Searches every source in order (the plug-in key alone for the kind
    // "Java Plug-in", any case). On true accepted holds the JVM accepted (its
    // program, the name it was found under and its home), and the list of
    // refusals is emptied.
    bool findJvm(const JvmWanted& wanted, const char* jvmKind, JvmFound& accepted);

private:
    // The version subkeys of one key in one hive and view, newest first.
    bool searchRegistryForJvm(const HiveView& hive, const RegistrySource& source,
                              const JvmWanted& wanted, JvmFound& accepted);
    unsigned int getJvmEntryCount(HKEY productKey);
    unsigned int getAvailableVersions(HKEY productKey, ScopedTextList& versions);
    // Reads one version subkey: its home, the version it is registered as,
    // and its home's release file; false when the subkey cannot be read.
    bool readRegistration(const HiveView& hive, const RegistrySource& source,
                          const char* versionName, Candidate& candidate);
    bool searchJavaHome(const JvmWanted& wanted, JvmFound& accepted);
    bool searchPath(const JvmWanted& wanted, JvmFound& accepted);
    // Judges the JVM under home: the registered range and the release file
    // (either may be empty) first, then JvmProbe's proof. Refusals name it by
    // where.
    bool tryHome(const char* where, const char* home, const char* registered,
                 const char* release, const JvmWanted& wanted, JvmFound& accepted);
    // Whether a home of that identity was proved already; remember makes
    // it so.
    bool triedAlready(const TriedHome& home) const;
    void remember(const TriedHome& home);
    // False once the search's time is spent (the list of refusals then says
    // so); seconds receives what a test run may still take.
    bool timeLeft(const JvmWanted& wanted, unsigned* seconds);
    void refuse(const char* where, const char* home, const char* format, const char* detail);
    // How many candidates the sources name, before any is judged.
    unsigned countCandidates(bool plugin) const;

    unsigned int entryCount;  // what getAvailableVersions may fill
    HiveView hives[MaxHiveViews];
    unsigned hiveCount;
    TriedHome* tried;
    unsigned triedCount, triedCapacity;
    DWORD searchStart, searchLimit;  // milliseconds
    bool stopped;
    RefusalList* refusals;
    SearchStages* stages;
    unsigned candidateNumber, candidateCount;  // the one judged last, of how many
};

#endif
