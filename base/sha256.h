// SHA-256 through the system's CNG (bcrypt.dll), fed as the bytes arrive.
// bcrypt.dll is loaded on the first hash only.
#ifndef BASE_SHA256_H
#define BASE_SHA256_H

#include <stddef.h>

enum { Sha256HexSize = 65 };  // 64 lowercase hex digits and the NUL

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when CNG offers no SHA-256 here; every later call fails then too.
    bool begin();
    bool update(const void* data, size_t size);
    // The digest as lowercase hex into hex; the hasher is spent afterwards.
    bool finish(char (&hex)[Sha256HexSize]);

    // hex equals expected, letters compared without regard to case; blanks
    // around expected are ignored. An empty expected never matches.
    static bool matches(const char* hex, const char* expected);

private:
    void close();
    void* algorithm;
    void* hash;
};

#endif
