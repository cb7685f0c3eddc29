// CurrentDirectory: a change of the process's current directory that is
// undone when the object goes out of scope.
//
// The launcher's current directory is the work directory for the whole run;
// the few steps that must run elsewhere (a tree deletion, the expansion of a
// compressed JVM, a JVM installer program) enter their directory through this object
// so that every exit path returns to the work directory. The saved directory
// is the full one as the system gives it, a drive root with its backslash:
// "R:" alone would mean "the current directory of drive R", not its root.
#ifndef BASE_CURDIR_H
#define BASE_CURDIR_H

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

#endif
