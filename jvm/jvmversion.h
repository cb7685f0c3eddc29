// Java version texts compared as Java numbers them.
//
// A version is its numbers (runs of digits separated by "." or "_"), then
// optionally a pre-release ("-ea", "-beta", "-rc1") and a build ("+9", or
// "-b10" and "_b01" of the old numbering); anything after those, and
// anything before the first digit ("zulu-", "jdk-"), carries no meaning.
//   - Numbers compare as numbers, of any length (1.8.0_401 is newer than
//     1.8.0_91) and missing trailing numbers count as zero (17 = 17.0.0).
//   - Java numbered its releases 1.2 to 1.8 before it became 9, and authors
//     write 1.9 or 1.10 for 9 or 10: a leading "1.N" with N of 2 or more
//     reads as N, on every side (8 = 1.8.0, 1.10 = 10).
//   - With equal numbers a pre-release is older than the release (17-ea is
//     older than 17); two pre-releases compare as numbers when both are
//     numbers, a number before words, words without regard to case. A build
//     number makes a version newer than the same one without.
#ifndef JVM_JVMVERSION_H
#define JVM_JVMVERSION_H

// Below zero when first is older than second, zero when equal, above zero
// when newer.
int compareVersionNumbers(const char* first, const char* second);

// The same, with the version cut to as many numbers as limit has: zero when
// the version begins with the limit (a limit 1.4 stands for 1.4.2_03, 17.0
// for 17). The pre-release and build count only when the limit has them. A
// version with fewer numbers has zeros added (1.4 is below 1.4.2).
int compareWithLimit(const char* version, const char* limit);

// A range (what a registration names: "17" stands for every 17.x.y) held
// against a limit over the numbers both have: zero when some version of the
// range begins with the limit or the limit with it, below zero when every
// version of the range is older than the limit, above zero when newer.
int compareRangeWithLimit(const char* range, const char* limit);

#endif
