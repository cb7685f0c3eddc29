// Java version texts compared run by run, numbers as numbers.
#include "jvm/jvmversion.h"

#include <ctype.h>
#include <string.h>

namespace {

// One run of a version text: digits or letters.
struct Run {
    const char* text;
    size_t length;
    bool number;
};

bool isDigit(char c) { return isdigit((unsigned char)c) != 0; }
bool isLetter(char c) { return isalpha((unsigned char)c) != 0; }

// The version text with a leading "1." dropped when the number after it is
// a release of the old numbering (up to 8): "1.8.0_401" reads as "8.0_401".
const char* withoutLegacyOne(const char* text) {
    if (text[0] != '1' || text[1] != '.' || !isDigit(text[2])) return text;
    const char* digits = text + 2;
    while (*digits == '0' && isDigit(digits[1])) ++digits;
    if (*digits > '8' || isDigit(digits[1])) return text;
    return text + 2;
}

// The next run at or after at; false when none is left.
bool nextRun(const char*& at, Run& run) {
    while (*at && !isDigit(*at) && !isLetter(*at)) ++at;
    if (!*at) return false;
    run.text = at;
    run.number = isDigit(*at);
    while (*at && (run.number ? isDigit(*at) : isLetter(*at))) ++at;
    run.length = (size_t)(at - run.text);
    return true;
}

int sign(long long value) { return value < 0 ? -1 : value > 0; }

// Numbers by value (of any length), letters without regard to case; a run
// of letters (a beta's "b", an "ea") sorts before a number.
int compareRuns(const Run& a, const Run& b) {
    if (a.number != b.number) return a.number ? 1 : -1;
    if (a.number) {
        Run x = a, y = b;
        while (x.length > 1 && *x.text == '0') ++x.text, --x.length;
        while (y.length > 1 && *y.text == '0') ++y.text, --y.length;
        if (x.length != y.length) return x.length < y.length ? -1 : 1;
        return sign(strncmp(x.text, y.text, x.length));
    }
    size_t shorter = a.length < b.length ? a.length : b.length;
    int order = _strnicmp(a.text, b.text, shorter);
    if (order) return sign(order);
    return sign((long long)a.length - (long long)b.length);
}

// Compares first with second run by run; with cut, first stops where
// second ends.
int compareVersions(const char* first, const char* second, bool cut) {
    const char* a = withoutLegacyOne(first);
    const char* b = withoutLegacyOne(second);
    Run x, y;
    for (;;) {
        bool moreA = nextRun(a, x);
        bool moreB = nextRun(b, y);
        if (!moreB) return (moreA && !cut) ? 1 : 0;
        if (!moreA) return -1;
        int order = compareRuns(x, y);
        if (order) return order;
    }
}

}  // namespace

int compareVersionNumbers(const char* first, const char* second) {
    return compareVersions(first, second, false);
}

int compareWithLimit(const char* version, const char* limit) {
    return compareVersions(version, limit, true);
}
