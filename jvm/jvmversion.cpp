// Java version texts read into numbers, pre-release and build, and compared
// as Java orders them.
#include "jvm/jvmversion.h"

#include <ctype.h>
#include <string.h>

namespace {

// A piece of a version text, not copied.
struct Piece {
    const char* text = nullptr;
    size_t length = 0;
};

enum { MostNumbers = 16 };  // more carry no meaning and are not read

struct Version {
    Piece number[MostNumbers];
    unsigned count = 0;
    Piece pre, build;
};

bool isDigit(char c) { return isdigit((unsigned char)c) != 0; }
bool isAlnum(char c) { return isalnum((unsigned char)c) != 0; }

// A run of digits at at, moved past.
Piece digits(const char*& at) {
    Piece piece;
    piece.text = at;
    while (isDigit(*at)) ++at;
    piece.length = (size_t)(at - piece.text);
    return piece;
}

// A number's value as a text without leading zeros ("007" is "7", "0" stays).
Piece value(Piece number) {
    while (number.length > 1 && *number.text == '0') ++number.text, --number.length;
    return number;
}

int sign(long long value) { return value < 0 ? -1 : value > 0; }

int compareNumbers(Piece a, Piece b) {
    a = value(a);
    b = value(b);
    if (!a.length) a = {"0", 1};
    if (!b.length) b = {"0", 1};
    if (a.length != b.length) return a.length < b.length ? -1 : 1;
    return sign(strncmp(a.text, b.text, a.length));
}

bool isNumber(Piece piece) {
    if (!piece.length) return false;
    for (size_t i = 0; i < piece.length; ++i)
        if (!isDigit(piece.text[i])) return false;
    return true;
}

bool isOne(Piece number) {
    Piece v = value(number);
    return v.length == 1 && *v.text == '1';
}

// "b" and digits: a build number of the old numbering (1.8.0_401-b10).
bool isOldBuild(Piece id) {
    if (id.length < 2 || (id.text[0] != 'b' && id.text[0] != 'B')) return false;
    return isNumber({id.text + 1, id.length - 1});
}

Version parse(const char* text) {
    Version v;
    const char* at = text;
    while (*at && !isDigit(*at)) ++at;
    if (!*at) return v;
    for (;;) {
        Piece number = digits(at);
        if (v.count < MostNumbers) v.number[v.count++] = number;
        if ((*at == '.' || *at == '_') && isDigit(at[1])) ++at;
        else break;
    }
    // 1.N is N from N = 2 on: 1.8.0_401 is 8.0.401, 1.10 is 10.
    if (v.count >= 2 && isOne(v.number[0]) &&
        compareNumbers(v.number[1], Piece{"2", 1}) >= 0) {
        memmove(v.number, v.number + 1, (v.count - 1) * sizeof v.number[0]);
        --v.count;
    }
    // "-pre", "-bNN" or "_bNN", "+build", in any of the orders JVMs write them.
    for (int suffixes = 0; suffixes < 3; ++suffixes) {
        if ((*at == '-' || *at == '_') && isAlnum(at[1])) {
            Piece id;
            id.text = ++at;
            while (isAlnum(*at)) ++at;
            id.length = (size_t)(at - id.text);
            if (isOldBuild(id)) {
                if (!v.build.length) v.build = {id.text + 1, id.length - 1};
            } else if (!v.pre.length && !v.build.length) {
                v.pre = id;
            } else {
                break;  // an optional part ("-LTS"): no meaning for the order
            }
        } else if (*at == '+' && isDigit(at[1])) {
            ++at;
            Piece build = digits(at);
            if (!v.build.length) v.build = build;
        } else {
            break;
        }
    }
    return v;
}

// The numbers of a and b over count places, zeros where either has none.
int compareNumberRuns(const Version& a, const Version& b, unsigned count) {
    static const Piece Zero = {"0", 1};
    for (unsigned i = 0; i < count; ++i) {
        int order = compareNumbers(i < a.count ? a.number[i] : Zero, i < b.count ? b.number[i] : Zero);
        if (order) return order;
    }
    return 0;
}

// A release is newer than its pre-releases; numbers before words.
int comparePre(Piece a, Piece b) {
    if (!a.length || !b.length) return a.length ? -1 : b.length ? 1 : 0;
    bool numberA = isNumber(a), numberB = isNumber(b);
    if (numberA != numberB) return numberA ? -1 : 1;
    if (numberA) return compareNumbers(a, b);
    size_t shorter = a.length < b.length ? a.length : b.length;
    int order = _strnicmp(a.text, b.text, shorter);
    if (order) return sign(order);
    return sign((long long)a.length - (long long)b.length);
}

// A build number makes a version newer than the same one without.
int compareBuild(Piece a, Piece b) {
    if (!a.length || !b.length) return a.length ? 1 : b.length ? -1 : 0;
    return compareNumbers(a, b);
}

unsigned larger(unsigned a, unsigned b) { return a > b ? a : b; }
unsigned smaller(unsigned a, unsigned b) { return a < b ? a : b; }

}  // namespace

int compareVersionNumbers(const char* first, const char* second) {
    Version a = parse(first), b = parse(second);
    int order = compareNumberRuns(a, b, larger(a.count, b.count));
    if (!order) order = comparePre(a.pre, b.pre);
    if (!order) order = compareBuild(a.build, b.build);
    return order;
}

int compareWithLimit(const char* version, const char* limit) {
    Version v = parse(version), l = parse(limit);
    int order = compareNumberRuns(v, l, l.count);
    if (order || (!l.pre.length && !l.build.length)) return order;
    order = comparePre(v.pre, l.pre);
    if (order || !l.build.length) return order;
    return compareBuild(v.build, l.build);
}

int compareRangeWithLimit(const char* range, const char* limit) {
    Version r = parse(range), l = parse(limit);
    return compareNumberRuns(r, l, smaller(r.count, l.count));
}
