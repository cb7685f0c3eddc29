// JvmOk: decides whether a JVM on disk is acceptable to the installation.
//
// It finds the JVM program under a home directory (or its bin directory,
// trying the newer program name when an old "jre" name is configured), runs
// it once on the package's test class "TestJvm.class", reads the version the
// test class writes into "jvmGood.txt" and holds it against the required,
// minimum and maximum versions. Every path that accepts a JVM comes here, so
// the version rule lives in one place (verifyVersion).
#ifndef JVM_JVMOK_H
#define JVM_JVMOK_H

#include "base/strbuf.h"
#include "base/trace.h"

class JvmOk : public Trace {
public:
    JvmOk();
    ~JvmOk();
    JvmOk(const JvmOk&) = delete;
    JvmOk& operator=(const JvmOk&) = delete;

    void setTraceFilename(const char* name);

    // The version rule: a limit stands for every version that begins with it
    // (characters compared without regard to case over the limit's length).
    // An empty limit is not given.
    bool verifyVersion(const char* required, const char* minimum, const char* maximum,
                       const char* jvmVersion);
    // Trims line in place to the version it holds (first to last digit; no
    // digit gives an empty version), then applies verifyVersion.
    bool testLine(char* line, const char* required, const char* minimum, const char* maximum);
    // Reads the first line of resultsFile and applies testLine.
    bool checkVersion(const char* resultsFile, const char* required, const char* minimum,
                      const char* maximum);
    // One test run of the program at jvmPath on the test class.
    bool testVersion(const char* required, const char* minimum, const char* maximum,
                     const char* jvmPath);
    // False when no file exists at jvmPath, else testVersion.
    bool correctVersion(const char* required, const char* minimum, const char* maximum,
                        const char* jvmPath);

    // Locates the program under homeDir (homeDir\name, homeDir\bin\name, then
    // for an old "jre..." name the newer java/javaw name in both places) and
    // tests it. commandName must have room for two more characters than it
    // holds; it keeps the new name when that was found and is restored on
    // false. jvmPath (PathBufferSize bytes) receives the accepted program.
    bool jvmCorrectVersion(const char* required, const char* minimum, const char* maximum,
                           const char* homeDir, char* commandName, char* jvmPath);
    // As above, then the known version (the registry's) must meet the limits too.
    bool jvmCorrectVersion(const char* required, const char* minimum, const char* maximum,
                           const char* knownVersion, const char* homeDir, char* commandName,
                           char* jvmPath);

private:
    bool tryCommand(const char* required, const char* minimum, const char* maximum,
                    const char* homeDir, const char* commandName, char* jvmPath);

    char traceFilename[PathBufferSize];
};

#endif
