// The program's load configuration. Its DependentLoadFlags tell the
// Windows loader (Windows 10 version 1607 and later) to take the program's
// imports, and the libraries those import, from the system directory only:
// a DLL named like one of ours in the package's folder (a download folder
// where anything lands) is never loaded in its place, even before the
// first line of the launcher runs. What is imported is kernel32, advapi32
// and msvcrt, and user32 and gdi32 (delayed in the 64-bit build), all of
// them known to the loader as system DLLs anyway; what is loaded later goes
// through loadSystemDll (base/sysdll.h).
//
// GNU ld fills the LoadConfig entry of the data directories from the
// symbol _load_config_used (the i686 compiler spells it with one more
// leading underscore, which is the name ld looks for there). mingw-w64's
// structure names the DependentLoadFlags word Reserved1; older loaders
// read the structure as far as its Size and ignore the word.
#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

extern "C" {
extern const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used;
__attribute__((used)) const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    sizeof(IMAGE_LOAD_CONFIG_DIRECTORY),
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // up to CSDVersion: Windows' defaults
    LOAD_LIBRARY_SEARCH_SYSTEM32,              // DependentLoadFlags
    0, 0, 0, 0};
}
