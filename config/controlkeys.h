// The key names of the package's control file "kiv.control", in one table:
// the keys the parameter reader fills, and those that other readers of the
// file take (the registry answer, the download of a JVM, the exit code).
#ifndef CONFIG_CONTROLKEYS_H
#define CONFIG_CONTROLKEYS_H

#include <stddef.h>

// What a key's value is, as far as a check of the file can tell.
enum ControlValueKind {
    AnyValue,        // free text (a name, a path, switches)
    VersionValue,    // a Java version
    InstallerValue,  // one of the JVM installer types
    SearchValue,     // "no" or "none" switch the search off
    FlagValue,       // true or false ("configureWinRegistry" also takes yes)
    SecondsValue,    // a whole number of seconds above zero
    UrlValue,        // an http or https address
    Sha256Value      // 64 hexadecimal digits
};

struct ControlKey {
    const char* name;
    ControlValueKind kind;
};

// Every key the launcher reads from the control file. A line names a key
// when it begins, in its first column, with the name (case counts); the one
// character after the name separates it from the value.
enum { ControlKeyCount = 26 };
extern const ControlKey ControlKeys[ControlKeyCount];

// The installer types of "jvmInstallerType" (compared without case).
extern const char SelfExtractorInstallerType[];  // "selfExtratorJvmInstaller"
extern const char ThirdPartyInstallerType[];     // "thirdPartyJvmInstaller"
extern const char DownloadInstallerType[];       // "downloadJvm"

// The key a line begins with, or null when it begins with none.
const ControlKey* controlKeyOf(const char* line);

#endif
