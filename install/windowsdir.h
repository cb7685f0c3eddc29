// The Windows directory of the run: where a pre-9 JVM's program copies and
// its registry entries point, and where the logs go when the start
// directory cannot be written.
#ifndef INSTALL_WINDOWSDIR_H
#define INSTALL_WINDOWSDIR_H

// The Windows directory into dir (InstallPathSize bytes): the registry's,
// else a "winnt" directory of the search path, else "c:\winnt", else the
// current directory. False when none was had.
bool findWindowsDir(char* dir);

// The first element of the search path that ends in name (any case), into
// dir (InstallPathSize bytes) in lower case; false when none does.
bool isDirInPath(const char* name, char* dir);

#endif
