// The keys of the package's control file "kiv.control", in one table: their
// names, what their values are, and the field of ControlSettings each fills.
#ifndef CONFIG_CONTROLKEYS_H
#define CONFIG_CONTROLKEYS_H

#include <stddef.h>

// What a key's value is, as far as a check of the file can tell.
enum ControlValueKind {
    AnyValue,        // free text (a name, a path, switches)
    VersionValue,    // a Java version
    InstallerValue,  // one of the ways of providing a JVM (jvmInstallerType)
    SearchValue,     // "no" or "none" switch the search off
    FlagValue,       // true or false ("configureWinRegistry" also takes yes)
    SecondsValue,    // a whole number of seconds above zero
    UrlValue,        // an http or https address
    Sha256Value      // 64 hexadecimal digits
};

// What the parameter reader does to a value once it is read: nothing; a
// directory's escapes undone; a JVM switch list's extra backslashes dropped;
// the blanks around a number (or an address, a hash) trimmed.
enum ControlValuePost { PostNone, PostDirectory, PostSwitches, PostNumber };

struct ControlKey {
    const char* name;
    ControlValueKind kind;
    size_t offset;    // of the value's field in ControlSettings
    size_t capacity;  // of that field; 0 for a key read apart (the registry switch)
    ControlValuePost post;
};

// Every key the launcher reads from the control file. A line names a key
// when it begins, in its first column, with the name (case counts); the one
// character after the name separates it from the value.
enum { ControlKeyCount = 27 };
extern const ControlKey ControlKeys[ControlKeyCount];

// The values of "jvmInstallerType" (compared without case): how a JVM is
// provided when none fits.
extern const char CompressedJvmType[];        // "selfExtratorJvmInstaller"
extern const char JvmInstallerProgramType[];  // "thirdPartyJvmInstaller"
extern const char DownloadedJvmType[];        // "downloadJvm"

// The key a line begins with, or null when it begins with none.
const ControlKey* controlKeyOf(const char* line);

#endif
