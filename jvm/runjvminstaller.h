// RunJvmInstaller: installs a JVM with the installer program the package
// carries (a vendor's installer or a self-extractor with arguments).
//
// A directory is chosen through JvmDirChooser (below the Programs folder of
// programs of the installer program's bitness); unless it already holds an
// acceptable JVM, the installer program is copied into it, run there with the
// arguments of its command line ("/*/*/*" separates the program and each
// argument, so that an argument may hold blanks) and removed again; an exit
// code other than 0 is a failure. The new JVM is then looked for one level
// below the directory, then through the registry search; it must report the
// version the package says it installs.
#ifndef JVM_RUNJVMINSTALLER_H
#define JVM_RUNJVMINSTALLER_H

#include "base/strbuf.h"
#include "base/report.h"
#include "jvm/jvmwanted.h"

#include <windows.h>

class RunJvmInstaller {
public:
    RunJvmInstaller();
    ~RunJvmInstaller();
    RunJvmInstaller(const RunJvmInstaller&) = delete;
    RunJvmInstaller& operator=(const RunJvmInstaller&) = delete;


    // True when an acceptable JVM is available afterwards; accepted then
    // holds it (its program, the name it was found under and its home).
    bool run(const JvmWanted& wanted, char* jvmVersion, char* jvmName, char* jvmInstallerBinary,
             char* jvmInstallerCommand, JvmFound& accepted, const char* windowsDir);

    // The steps of run, public for their own tests.
    bool installJvm(char* jvmVersion, char* jvmName, const char* jvmCommandName,
                    char* jvmInstallerBinary, char* jvmInstallerCommand, char* jvmDir,
                    JvmFound& accepted);
    // Splits the command line (left unchanged) and runs the program in dir.
    bool runInstaller(const char* commandLine, const char* dir);
    // Builds the argument vector of a command line: the program's file name,
    // then each argument. A line without a separator gives the file name
    // alone. Returns a null-terminated vector to be released with freeArgs,
    // and the program text (to be freed) in *program; null when out of memory.
    char** splitCommandLine(const char* commandLine, char** program);
    void freeArgs(char** args);
    bool executeInstaller(char* program, char** args, const char* dir);
    // The position just after the separator at position; null for null.
    const char* getStartNextArg(const char* position);
    bool copyInstaller(const char* installerName, const char* dir);
    void removeInstaller(const char* installerName, const char* dir);
    bool findInstalledJvm(const JvmWanted& wanted, const char* jvmName, JvmFound& accepted);
    bool jvmInNewDir(const JvmWanted& wanted, const char* dir, JvmFound& accepted);

private:
    char windowsDir[PathBufferSize];
    // The outermost of the directories made for the JVM (empty: none).
    char madeTop[PathBufferSize];
    bool jvmDiscovered;
};

#endif
