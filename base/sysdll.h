// A DLL of the Windows system directory, loaded when first needed rather
// than imported: a run that never downloads never pays for WinHTTP or CNG.
#ifndef BASE_SYSDLL_H
#define BASE_SYSDLL_H

#include <windows.h>

// Loads name (e.g. "bcrypt.dll") from the system directory only, never from
// the work directory or PATH; null when it is not there.
HMODULE loadSystemDll(const char* name);

#endif
