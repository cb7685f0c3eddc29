// WinFolders: where Windows keeps its folders, in one place: the Windows
// directory (from the registry, the way both Windows families record it, or
// as the running system reports it), Program Files (the one of 32-bit or of
// 64-bit programs), the user's own Programs folder, the choice between them
// for a new program, and the user's profile.
//
// Every result buffer holds PathBufferSize bytes unless a capacity is given;
// a folder that does not fit is not returned.
#ifndef BASE_WINFOLDERS_H
#define BASE_WINFOLDERS_H

#include "base/report.h"

#include <stddef.h>

class WinFolders {
public:
    // The Windows directory from the registry: its SystemRoot, PathName,
    // WinDir, Setup WinDir and Windows Setup WinDir in that order. Returns the name of the value
    // that gave it ("SystemRoot", "PathName", "WinDir", "Setup WinDir",
    // "Windows Setup WinDir"), or null with dir empty.
    const char* registryWindowsDirectory(char* dir, size_t cap);
    // The Windows directory as the running system reports it (empty when it
    // does not fit); false when there is none.
    bool systemWindowsDirectory(char* dir, size_t cap);

    // Program Files for programs of bits (32 or 64; 0: the launcher's own),
    // read in the registry view of such programs: on 64-bit Windows
    // "C:\Program Files" for 64-bit ones and "C:\Program Files (x86)" for
    // 32-bit ones, whichever the launcher is.
    bool getProgramFilesDirectory(char* dir, unsigned bits = 0);
    // Whether this run may write Program Files for programs of bits: a
    // directory of a name of its own can be made in it (an administrator's
    // elevated run; never a standard user's), and is removed at once.
    bool mayWriteProgramFiles(unsigned bits = 0);
    // The user's own Programs folder (FOLDERID_UserProgramFiles, else
    // %LOCALAPPDATA%\Programs), made when it is missing. Only that user and
    // the administrators can write it.
    bool getUserProgramsDirectory(char* dir);
    // Program Files for programs of bits where this run may write it, else
    // the user's own Programs folder (perUser, when given, says which). Never
    // a folder that every user can write.
    bool getProgramsDirectory(char* dir, unsigned bits = 0, bool* perUser = nullptr);
    // The user's profile, the home directory of a Java program on Windows:
    // USERPROFILE, else the profile folder the shell reports.
    bool getUserProfileDirectory(char* dir);
};

#endif
