// Security: installs the package's Java security files — a system policy, a
// user policy and a keystore (identity database) — into a JVM the launcher
// has just expanded, into the user's profile or below the work directory,
// as the control file's three settings say. Existing files are kept,
// or, when the caller asks for backups, replaced new-file-first (the old one
// renamed to ".001" only once the new copy is complete) and the saving
// recorded in the user's language in "changes.txt".
//
// A setting is "${java.home}/dir/file", "${user.home}/dir/file" or
// "dir/file" (below the work directory); ${user.home} is what it is for a
// Java program on Windows, the user's profile. The file itself is taken
// from the work directory, which is the current directory. windowsDir is
// the Windows directory, whose "profiles" folder (where there is one, as on the
// older systems) gets a copy of a keystore for ${user.home} as well. Every
// output buffer holds PathBufferSize (5001) bytes.
#ifndef SECURITY_SECURITY_H
#define SECURITY_SECURITY_H

#include "base/report.h"

#include <stddef.h>

class Security {
public:
    // language: the run's language word, for the change record.
    explicit Security(const char* language = "english") : language(language) {}

    // Installs the three files (each setting empty when not given).
    // Returns the outcome of the last step performed.
    bool addSecurity(char* systemPolicy, char* userPolicy, char* keystore, const char* javaHome,
                     const char* windowsDir, bool backup);

    // Resolves a setting into the file name in the work directory and
    // its destination path, creating the destination's directories. True
    // when a destination could be prepared.
    bool getFilenames(const char* setting, const char* javaHome, char* fileName,
                      char* destination);

    // Creates the "/"-separated directories of path below base, one level at
    // a time; path receives the final directory. True when it exists.
    bool addDirectories(const char* base, char* path);

    // Copies source to destination unless the destination exists; with
    // backup, an existing destination is replaced (backupFile). False, and
    // the failure in errors.log, when the package's file did not arrive.
    bool copySecurityFile(const char* source, char* destination, bool backup);

    // Replaces path by a copy of replacement, keeping path's file under the
    // ".001" name, and records the change. The copy is complete before the
    // file in place is renamed; on any failure path keeps its file. An
    // existing backup is never overwritten: path is then kept as it is (true).
    bool backupFile(const char* path, const char* replacement);

    // Appends one line to the change record "changes.txt".
    void logSystemChange(const char* text);

    // Installs the keystore: where java.security's identity database lives,
    // else at its destination and, for ${user.home}, also in the login
    // name's directory below windowsDir\profiles where that folder exists.
    bool addCertificate(const char* setting, const char* javaHome, const char* windowsDir,
                        char* fileName, char* destination, bool backup);

    // The identity database that the JVM's lib\security\java.security
    // names, its directory created. False when it names none.
    bool getIdentityIdFilename(const char* javaHome, char* identityDb);

    // windowsDir\profiles\<login name>\<file> for a "${user.home}/file"
    // setting, the login name's directory created; false when windowsDir has no
    // "profiles" folder.
    bool getAlternateDestination(const char* setting, const char* windowsDir, char* destination);

    // The ".001" backup name of path (capacity cap); false when it does
    // not fit.
    bool getBackupFilename(const char* path, char* backupName, size_t cap);

private:
    const char* language;
    bool _getLoginName(char* name, size_t cap);
};

#endif
