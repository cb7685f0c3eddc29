// Fake JVM homes for the JVM discovery tests: the stub JVM copied into a
// home with its stubjvm.ini, its record of runs, and the JavaSoft registry
// keys of the Wine prefix seeded and removed again.
#ifndef TESTS_UNIT_JVMHOME_H
#define TESTS_UNIT_JVMHOME_H

#include <windows.h>
#include <string>

// The build directory (the parent of the directory of unit_tests.exe).
std::string buildDir();

// Copies the stub JVM to home\program (e.g. "bin\\javaw.exe"), directories
// created, with a stubjvm.ini beside it that makes it report version.
void installStubJvm(const std::string& home, const char* program, const std::string& version);
// How many test runs the stub JVMs of one directory recorded.
int testRuns(const std::string& programDir);
// The recorded runs' text ("" when none).
std::string runRecord(const std::string& programDir);

// Creates "TestJvm.class" in the current directory (its content matters
// only to a real JVM: the real class is copied when it was built).
void placeTestClass();

// Holds the JavaSoft keys of HKEY_LOCAL_MACHINE for one test: takes a
// machine-wide lock (tests run in parallel in one prefix), removes the
// product keys, and removes them again when it goes.
class JavaSoftKeys {
public:
    JavaSoftKeys();
    ~JavaSoftKeys();
    // product: "Java Runtime Environment", "Java Development Kit" or
    // "Java Plug-in". An empty micro or home leaves that value out.
    void add(const char* product, const std::string& version, const std::string& micro,
             const std::string& home, const char* homeValue = "JavaHome");

private:
    void clear();
    HANDLE lock;
};

// The texts of a log file's lines, time stamps dropped, one per line.
std::string logText(const char* file);

#endif
