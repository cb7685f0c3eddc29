// CurrentDirectory: a change of the process's current directory that is
// undone when the object goes out of scope; and the current directory as a
// name joins it.
//
// The launcher's current directory is the work directory for the whole run;
// the few steps that must run elsewhere (a tree deletion, the expansion of a
// compressed JVM, a JVM installer program) enter their directory through this object
// so that every exit path returns to the work directory. The saved directory
// is the full one as the system gives it, a drive root with its backslash:
// "R:" alone would mean "the current directory of drive R", not its root.
#ifndef BASE_CURDIR_H
#define BASE_CURDIR_H

#include <stddef.h>

class CurrentDirectory {
public:
    CurrentDirectory();
    ~CurrentDirectory();  // restores the saved directory if enter succeeded
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

    // Makes dir the current directory; false (nothing changed) when it
    // cannot be entered or the current one could not be saved.
    bool enter(const char* dir);
    // Returns to the saved directory now; true when that worked.
    bool restore();
    // The saved directory, exactly as it will be restored.
    const char* saved() const { return savedDir; }

private:
    char* savedDir;  // heap copy of the full current directory, or null
    bool changed;
};

// The current directory without a trailing backslash ("." on failure), so
// that a name joins it with one backslash: a drive root gives "R:".
void getCurrentDir(char* buffer, unsigned size);
// A directory as it is handed on by itself (to a program, or compared):
// a bare drive "R:" becomes its root "R:\", since "R:" alone names the
// current directory of drive R, wherever that is. dir holds cap bytes.
void standAloneDir(char* dir, size_t cap);

#endif
