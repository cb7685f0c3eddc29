// JvmExpander: installs the JVM that the package carries as a compressed,
// self-expanding program: expansion and the program's location here, the
// registration and the program copies in JvmRegistration.
//
// The directory comes from JvmDirChooser (which may instead discover an
// acceptable JVM already there); the compressed JVM runs with that directory
// as its current directory and expands itself into it. The JVM program is
// then located, the JVM registered under SOFTWARE\JavaSoft in the layout the
// registry search reads (unless it lives in the work directory): in
// HKEY_LOCAL_MACHINE when this run may write Program Files, else in the
// user's own HKEY_CURRENT_USER; its programs copied into the Windows
// directory where they work on their own, and the result is proved by the
// version test. The registration only ever adds:
// existing keys are reused and an existing value is never overwritten.
//
// On 64-bit Windows the JVM's bitness decides where it goes and where it is
// registered: below the Programs folder of programs of its bitness, and in
// the registry view they read. Before expansion it is that of the compressed
// JVM; afterwards that of the JVM's own program when its header can be read;
// the launcher's own when neither can.
//
// A package may instead name a JVM to download (downloadFrom): the archive,
// fetched and checked by JvmDownload, is expanded into the chosen directory
// in place of the compressed JVM's run; all the rest is the same.
#ifndef JVM_JVMEXPANDER_H
#define JVM_JVMEXPANDER_H

#include "base/progress.h"
#include "base/strbuf.h"
#include "base/report.h"
#include "jvm/jvmwanted.h"

#include <windows.h>

class JvmExpander {
public:
    // ownTrace: the run traces into the launcher's own trace file, which
    // makes the windowless program the choice for an expanded JVM.
    // configureRegistry: the package's registry switch ("configureWinRegistry").
    explicit JvmExpander(bool ownTrace = false, bool configureRegistry = true);
    ~JvmExpander();
    JvmExpander(const JvmExpander&) = delete;
    JvmExpander& operator=(const JvmExpander&) = delete;

    // A new JVM was expanded and proved by extractJvm.
    bool expandedNewJvm() const { return jvmInstalled; }
    // The directory this run made for the new JVM and that holds its home:
    // the outermost level JvmDirChooser made, or the home itself when the
    // expansion made it (a home named apart from the chosen directory).
    // Empty when the JVM went into directories that were there before.
    const char* createdJvmDir() const { return createdDir; }

    // The JVM comes from url, checked against sha256, rather than from the
    // compressed JVM; progress (may be null) hears of the transfer and the
    // expansion. The texts must outlive the object.
    void downloadFrom(const char* url, const char* sha256, Progress* progress);
    // The download was tried and failed (errors.log names the address and
    // the cause).
    bool downloadFailed() const { return downloadFault; }

    // The whole job. On true accepted holds the JVM: its program's full
    // path, the program name actually found and its home.
    bool extractJvm(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                    char* jvmSelfExtractor, char* predefinedJvmInstallDir, char* jvmHomeDir,
                    JvmFound& accepted, const char* windowsDir);
    // Chooses the directory, expands and configures the JVM; jvmDir
    // (PathBufferSize bytes) receives the JVM home, accepted.commandName the
    // name its program was configured under.
    bool installCompressedJvm(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                              char* jvmSelfExtractor, char* predefinedJvmInstallDir,
                              char* jvmHomeDir, JvmFound& accepted, const char* windowsDir,
                              char* jvmDir);
    // The compressed JVM's file, the one that is both checked and run:
    // jvmSelfExtractor as written (jvm/jre-win.exe), in the work directory
    // unless it names its own drive or share, or else its last name in the
    // work directory. path (PathBufferSize bytes) receives the full path of
    // the file found; false when there is none.
    bool locateCompressedJvm(const char* jvmSelfExtractor, char* path);
    // The command that expands the compressed JVM: the file located above
    // (in its short form when the path has blanks, never quoted). command
    // holds PathBufferSize bytes. False when the file does not exist.
    bool getJvmInstallerCommand(const char* jvmSelfExtractor, char* command);
    // Locates the JVM program under jvmDir and, if registerJvm, enters it
    // into the registry (JvmRegistration). Also used by the clean-up for a
    // temporary JVM.
    bool configureJvm(char* jvmVersion, char* jvmName, char* jvmCommandName, char* jvmDir,
                      const char* windowsDir, bool registerJvm);

private:
    bool ownTrace;
    bool configureRegistry;
    // Runs the compressed JVM in jvmDir.
    bool expandJvm(const char* jvmSelfExtractor, const char* jvmDir);
    // Downloads the archive of downloadFrom and expands it into jvmDir.
    bool fetchJvm(const char* jvmDir);

    char windowsDir[PathBufferSize];
    char createdDir[PathBufferSize];
    bool jvmInstalled;
    bool jvmDiscovered;
    unsigned packageBits;  // of the compressed JVM; 0 when there was none
    const char* downloadUrl;  // null: the compressed JVM is run
    const char* downloadSha256;
    Progress* downloadProgress;
    bool downloadFault;
};

#endif
