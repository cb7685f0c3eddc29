// JvmProbe: decides whether a JVM on disk is acceptable to the installation.
//
// It finds the JVM program under a home directory (or its bin directory,
// trying the newer program name when an old "jre" name is configured), runs
// it once on the package's test class "TestJvm.class", reads the version the
// test class writes into "jvmGood.txt" and holds it against the required,
// minimum and maximum versions. The JVM's home is what the JVM says: the
// test class also writes the running JVM's "java.home", which is taken when
// that directory holds the program tested (a program copy in the Windows
// directory, or a "javapath" folder, lives elsewhere than its JVM); a test
// class that writes no such line leaves the home to the program's path. A
// package without the test class has each JVM judged by its own "-version"
// answer, else by its home's release file; a JVM that none of them judges is
// refused, never taken untested. A JVM whose program is made for a
// processor this machine cannot run (an ARM64 one on x64, an x64 one on
// ARM64 Windows 10) is refused before it is started, its processor named.
// Every path that accepts a JVM comes here,
// so the version rule lives in one place (meetsLimits). A test run has a
// time limit; a JVM refused says why (refusal), for the search's list of the
// candidates it refused. Test runs write to the trace only: whether a
// refusal explains a failed installation is for the caller to say.
#ifndef JVM_JVMPROBE_H
#define JVM_JVMPROBE_H

#include "base/strbuf.h"
#include "base/report.h"
#include "jvm/jvmwanted.h"

class JvmProbe {
public:
    JvmProbe();
    ~JvmProbe();
    JvmProbe(const JvmProbe&) = delete;
    JvmProbe& operator=(const JvmProbe&) = delete;


    // The version rule, the one place where a version is held against the
    // limits: a limit stands for every version that begins with it, the
    // versions compared by number (jvm/jvmversion.h). An empty limit is not
    // given.
    bool meetsLimits(const JvmWanted& wanted, const char* jvmVersion);
    // Whether some version of a range (a registration's "17" or "1.8.0",
    // which stand for every version they begin) may meet the limits: false
    // only when none can, so that a JVM is never refused for a registration
    // coarser than its own version.
    static bool rangeMeetsLimits(const JvmWanted& wanted, const char* range);
    // Trims line in place to the version it holds (first to last digit; no
    // digit gives an empty version), then applies meetsLimits.
    bool lineMeetsLimits(char* line, const JvmWanted& wanted);
    // Reads the first line of resultsFile and applies lineMeetsLimits.
    bool resultsMeetLimits(const char* resultsFile, const JvmWanted& wanted);
    // One test run of the program at jvmPath on the test class.
    bool runTest(const JvmWanted& wanted, const char* jvmPath);
    // False when no file exists at jvmPath, else runTest.
    bool testProgram(const JvmWanted& wanted, const char* jvmPath);

    // Locates the program wanted.commandName under homeDir (homeDir\name,
    // homeDir\bin\name, then for an old "jre..." name the newer java/javaw
    // name in both places) and tests it. accepted.program receives each
    // program tried; on true it holds the accepted one, accepted.commandName
    // the name it was found under and accepted.home its home.
    bool proveHome(const JvmWanted& wanted, const char* homeDir, JvmFound& accepted);

    // Why the last JVM checked was refused ("" when it was not).
    const char* refusal() const { return refusalText; }
    // The version the last JVM checked gave ("" when it gave none).
    const char* judgedVersion() const { return lastVersion; }

private:
    void refuse(const char* reason);
    void refuse(const char* format, const char* detail);
    // The directory the test class is given and the results file in it: the
    // work directory, or a private directory when a "jvmGood.txt" there
    // cannot be deleted (a directory of that name). False when neither works.
    bool prepareResults(char* dir, char* file, bool* own);
    // The test class's run on the program at jvmPath, its answer going to
    // resultsFile in resultsDir (PathBufferSize bytes, made fit for the
    // child's command line), and the answer judged.
    bool runTestClass(const JvmWanted& wanted, const char* jvmPath, char* resultsDir,
                      const char* resultsFile);

    // Without the test class: the program's "-version" answer, else the
    // release file of its home.
    bool judgeWithoutTestClass(const JvmWanted& wanted, const char* jvmPath);
    // Runs "<program> -version" and takes the version it names (version
    // "x") into version; false when it names none (refusal set when it
    // could not even be started or gave no answer in time).
    bool versionAnswer(const JvmWanted& wanted, const char* jvmPath, char* version, size_t cap,
                       bool* refused);

    bool tryCommand(const JvmWanted& wanted,
                    const char* homeDir, const char* commandName, char* jvmPath);
    bool findAndTest(const JvmWanted& wanted, const char* homeDir, JvmFound& accepted);
    // Keeps the home the test class reported in resultsFile when it holds
    // the program at jvmPath (reportedHome; empty otherwise).
    void readReportedHome(const char* resultsFile, const char* jvmPath);
    // accepted.home receives the home of the program accepted.
    void giveHome(JvmFound& accepted);

    char reportedHome[PathBufferSize];  // of the last JVM tested and accepted
    char refusalText[1200];
    char lastVersion[VersionBufferSize];
};

#endif
