// Existence test that tolerates a quoted path (a command text such as
// "C:\Program Files\x\java.exe" -version tests only the quoted path).
#ifndef BASE_FEXISTS_H
#define BASE_FEXISTS_H

bool fexists(const char* path);

#endif
