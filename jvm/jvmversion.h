// Java version texts compared by number.
//
// A version is read as its runs of digits and runs of letters; every other
// character (".", "_", "-", "+", a blank) only separates them. Runs of
// digits compare as numbers (1.8.0_401 is newer than 1.8.0_91), runs of
// letters without regard to case. Java numbered its releases 1.2 to 1.8
// before it became 9: a leading "1.N" with N up to 8 reads as N, on both
// sides, so a limit 8 is met by 1.8.0_401 and a limit 1.8 by 17.
#ifndef JVM_JVMVERSION_H
#define JVM_JVMVERSION_H

// Below zero when first is older than second, zero when equal, above zero
// when newer. A version that is the beginning of another is the older one.
int compareVersionNumbers(const char* first, const char* second);

// The same, with version cut to as many runs as limit has: zero when the
// version begins with the limit (a limit 1.4 stands for 1.4.2_03). A
// version shorter than the limit is compared whole (1.4 is below 1.4.2).
int compareWithLimit(const char* version, const char* limit);

#endif
