// The one transaction of the kinds that expand a JVM themselves (a
// compressed JVM, a downloaded archive): stage, prove, place, register, in
// that order.
//
// 1. A final folder that already holds a JVM the installation accepts is
//    used as it is (registered again: the registration may have been lost).
// 2. Otherwise the JVM is expanded into a stage beside the final folder
//    (JvmStage), its home found there ("jvmHomeDir"), and its program proved
//    there: the version it reports within the installation's limits, its
//    home and its bitness read from its own program.
// 3. Only then is the stage moved into the final folder, which the JVM's own
//    bitness and the user's rights choose (JvmPlaces). A folder already
//    there is replaced only when it is empty or an earlier run of ours made
//    it (the record "__kivjvm.txt" in it); anything else is in the way, and
//    the run fails naming it.
// 4. Only then is the JVM registered, in the registry view of its bitness,
//    with the program copies into the Windows directory last.
// Any failure before the end leaves nothing: no folder, no registry value,
// no copy.
#ifndef JVM_STAGEDJVM_H
#define JVM_STAGEDJVM_H

#include "jvm/jvmprovider.h"

// What puts the JVM into the stage: the compressed JVM's run or the
// download's expansion.
class StageFiller {
public:
    // Fills stageDir, the stage of folder (the final folder the JVM is
    // expected to go to, for errors.log); false with result's fault and box
    // set.
    virtual bool fill(const char* stageDir, const char* folder, ProvisionResult& result) = 0;

protected:
    ~StageFiller() {}
};

// The transaction. guessBits: the bitness the JVM is expected to have
// before its program can be read (the compressed JVM's, else the
// launcher's); source: what the record names as the JVM's origin.
bool provideStaged(const ProvisionRequest& request, unsigned guessBits, const char* source,
                   StageFiller& filler, ProvisionResult& result);

// The program of the JVM whose home is home: home\name, home\bin\name, and
// for an old "jre..." name the newer java.exe or javaw.exe (javaw when
// ownTrace) in both places. path (PathBufferSize bytes) receives its full
// path, foundName (PathBufferSize bytes) the name found.
bool findJvmProgram(const char* home, const char* commandName, bool ownTrace, char* path,
                    char* foundName);

// Registers a JVM the launcher placed or found where it places them, unless
// the registry switch is off: in HKEY_LOCAL_MACHINE's view of bits for a
// folder below Program Files, in HKEY_CURRENT_USER for one below the user's
// own Programs (machineWide as JvmPlaces::folderFor gives it).
void registerProvidedJvm(const ProvisionRequest& request, const char* programName,
                         const char* home, unsigned bits, int machineWide);

// errors.log: the program that was to install the JVM into dir ended with
// the failure exit code code.
void logInstallingProgramExit(const char* program, unsigned long code, const char* dir);

// Whether the disk of dir has (next to) no room left: the only time a box
// asks about disk space.
bool diskIsFull(const char* dir);

#endif
