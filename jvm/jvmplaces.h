// JvmPlaces: the folder a JVM the launcher provides goes to. There are two
// places, for every user alike: below Program Files (the folder of programs
// of the JVM's bitness) when this run may write there, and below the user's
// own Programs folder (%LOCALAPPDATA%\Programs) when it may not. Never a
// drive's root, the Windows directory or a folder of the search path: other
// users could write there, and replace the programs the next person runs.
//
// The default folder is <Programs>\JavaSoft\<kind><base>\<version> for the
// kinds JRE, JDK and Java Plug-in, else <Programs>\JVM<base>\<version>. A
// package may name its own ("predefinedJvmInstallDir"): "[$ProgFilesDir]\x"
// (x below the Programs folder of the rule above), "[$WinDir]\x", "[$AppDir]"
// (the work directory's "jvm" folder: the JVM is for this run only) or a
// directory as it is. A form that cannot be resolved (an unknown variable,
// a variable with nothing after it or without its backslash) is traced and
// the default folder taken instead.
#ifndef JVM_JVMPLACES_H
#define JVM_JVMPLACES_H

#include "base/report.h"
#include "base/strbuf.h"

class JvmPlaces {
public:
    // The texts must outlive the object.
    JvmPlaces(const char* installDir, const char* kind, const char* version);
    JvmPlaces(const JvmPlaces&) = delete;
    JvmPlaces& operator=(const JvmPlaces&) = delete;

    // The folder for a JVM whose programs are of bits (32 or 64) into dir
    // (PathBufferSize bytes); false when there is none (traced). machineWide
    // (may be null) receives 1 for a folder below Program Files, 0 for one
    // below the user's own Programs, -1 for a folder of the package's that
    // is neither.
    bool folderFor(unsigned bits, char* dir, int* machineWide = nullptr);
    // The JVM goes into the work directory for this run only: it is never
    // registered, and the clean-up removes it.
    bool temporary() const { return forThisRun; }

private:
    // The package's own folder for bits; false when its form is invalid.
    bool packageFolder(unsigned bits, char* dir, int& machineWide);
    bool defaultFolder(unsigned bits, char* dir, int& machineWide);

    const char* installDir;
    const char* kind;
    const char* version;
    bool forThisRun;
};

// The Programs folder of a JVM of bits: Program Files where this run may
// write it, else the user's own Programs folder (perUser says which).
bool programsFolderFor(unsigned bits, char* dir, bool& perUser);

#endif
