// A Java version split the way the registry files its versions: the base
// (1.6) as the key, the rest (0_20) as the micro version.
#ifndef BASE_VERSIONSPLIT_H
#define BASE_VERSIONSPLIT_H

// Splits 1.6.0_20 into the base 1.6 and the micro part 0_20 ("0" when the
// version has fewer than two dots). Both buffers must hold the whole version.
void parseVersion(const char* version, char* base, char* micro);

#endif
