// JvmDirChooser: chooses and creates the directory into which a new JVM is
// installed, when no installed JVM fits.
//
// The candidate places are tried in a fixed order: the control file's
// predefined directory (possibly through [$ProgFilesDir], [$WinDir] or
// [$AppDir]), and nothing else when it is given but cannot be made or
// written (errors.log names it); a kind and version directory under the
// Program Files directory, or below the user's own Programs folder where
// this run may not write Program Files (a standard user's run); a "jvm"
// subtree at the root of that drive, then in the Windows directory, and one
// in each directory of the search path (none of them for a standard user's
// run: they may be open to every user); and last the work directory's own
// "jvm" subtree, emptied first. On the way a candidate that already holds an
// acceptable JVM is "discovered" and returned instead, so that the caller can
// skip the installation. The Programs folder is the one of programs of the
// new JVM's bitness. The system folders come from WinFolders; the
// deletion of an old "jvm" tree is in tempjvmtree.cpp.
#ifndef JVM_JVMDIRCHOOSER_H
#define JVM_JVMDIRCHOOSER_H

#include "base/strbuf.h"
#include "base/report.h"
#include "jvm/jvmwanted.h"

class JvmDirChooser {
public:
    JvmDirChooser();
    ~JvmDirChooser();
    JvmDirChooser(const JvmDirChooser&) = delete;
    JvmDirChooser& operator=(const JvmDirChooser&) = delete;

    // The whole order of places. jvmDir is a PathBufferSize-byte buffer. On
    // success jvmDir holds the directory to install into, or the directory
    // of a discovered JVM (isJvmDiscovered), which is then in accepted (its
    // program, the name it was found under, jre.exe perhaps taken as
    // javaw.exe, and its home).
    bool chooseDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                            char* predefinedJvmInstallDir, char* jvmDir, JvmFound& accepted);
    bool isJvmDiscovered() const { return jvmDiscovered; }
    // The outermost directory this object made on the way to the directory
    // chooseDirectory chose: that directory or one that holds it. Empty
    // when the chosen directory existed before (or a JVM was discovered).
    const char* createdDir() const { return created; }

    // Deletes the tree dir\jvm when it exists. Refuses (false) a tree that is
    // not an absolute directory below a drive root, that is or holds the
    // Windows directory or the current (work) directory, or that holds the
    // kept file; a link is removed, never followed. True when the tree is
    // gone afterwards.
    bool deleteTempJvmDir(const char* dir);
    // A file of the package that no deletion may take (the compressed JVM,
    // which the package may keep in the work directory's jvm tree). The
    // text must outlive the object; null or empty keeps nothing.
    void keepFile(const char* path) { keptFile = path; }

    // The Windows directory, the last resort of the candidate places; a null
    // dir leaves it unchanged.
    void setWindowsDir(const char* dir);
    // The new JVM's bitness, from the header of the package's JVM program
    // (the compressed JVM or the JVM installer program; the launcher's own
    // when it cannot be read); traced and returned. On 64-bit Windows it
    // chooses the Programs folder: that of 64-bit or of 32-bit programs.
    unsigned takeBitsOf(const char* program);

    // The steps of chooseDirectory, public for their own tests.
    bool getNewJvmInstallerTo(const char* requested, char* out);
    bool getVariableDir(const char* variable, const char* baseDir, const char* requested,
                        char* out);
    bool createPredeterminedJvmDirectory(const JvmWanted& wanted, char* dir, JvmFound& accepted);
    // jvmDir\probeName, when it exists, is taken if it holds an acceptable
    // JVM (discovered); when it does not, jvmDir\makeName is made and taken.
    bool probeOrMake(const JvmWanted& wanted, char* jvmDir, const char* probeName,
                     const char* makeName, JvmFound& accepted);
    bool createWinJvmDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                               char* jvmDir, JvmFound& accepted);
    bool createJvmSubdirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName, char* dir,
                               JvmFound& accepted);
    bool foundValidJvm(const JvmWanted& wanted, const char* dir, JvmFound& accepted);
    // Makes one directory level: dir (PathBufferSize bytes) becomes
    // dir\name when that directory exists afterwards.
    bool addDirectory(char* dir, const char* name);
    bool addDirectory(const char* path);

private:
    bool _createJvmDirectory(const JvmWanted& wanted, char* jvmVersion, char* jvmName,
                             char* predefinedJvmInstallDir, char* jvmDir, JvmFound& accepted);
    // Tests candidate for a JVM, records the verdict and traces it.
    bool testPossibleDirectory(const JvmWanted& wanted, const char* candidate,
                               JvmFound& accepted);

    char windowsDir[PathBufferSize];
    char created[PathBufferSize];
    const char* keptFile;
    bool jvmDiscovered;
    bool perUser;
    bool predefinedRefused;
    unsigned bits;
};

// The end of a failed JVM installation: removes jvmDir when it is empty,
// then each directory holding it up to top, as long as each is left empty.
// top is what JvmDirChooser::createdDir gave (nothing happens when it is empty
// or does not hold jvmDir): only directories made for the JVM go.
void removeMadeDirectories(const char* jvmDir, const char* top);

// Logs that the program installing the JVM ended with a failure exit code:
// the program, the code and the JVM directory it was to fill.
void logInstallerExit(const char* program, unsigned long code, const char* jvmDir);

#endif
