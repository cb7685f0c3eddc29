#include "base/sha256.h"

#include "base/sysdll.h"

#include <windows.h>
#include <bcrypt.h>
#include <ctype.h>
#include <string.h>

namespace {

typedef NTSTATUS(WINAPI* OpenAlgorithmFn)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
typedef NTSTATUS(WINAPI* CloseAlgorithmFn)(BCRYPT_ALG_HANDLE, ULONG);
typedef NTSTATUS(WINAPI* CreateHashFn)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG,
                                       PUCHAR, ULONG, ULONG);
typedef NTSTATUS(WINAPI* HashDataFn)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
typedef NTSTATUS(WINAPI* FinishHashFn)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
typedef NTSTATUS(WINAPI* DestroyHashFn)(BCRYPT_HASH_HANDLE);

struct Cng {
    bool loaded;
    OpenAlgorithmFn openAlgorithm;
    CloseAlgorithmFn closeAlgorithm;
    CreateHashFn createHash;
    HashDataFn hashData;
    FinishHashFn finishHash;
    DestroyHashFn destroyHash;
};

// The entry points, looked up once; the DLL stays loaded for the process.
const Cng* cng() {
    static Cng functions;
    if (!functions.loaded) {
        functions.loaded = true;
        HMODULE dll = loadSystemDll("bcrypt.dll");
        if (!dll) return nullptr;
        functions.openAlgorithm =
            (OpenAlgorithmFn)(void*)GetProcAddress(dll, "BCryptOpenAlgorithmProvider");
        functions.closeAlgorithm =
            (CloseAlgorithmFn)(void*)GetProcAddress(dll, "BCryptCloseAlgorithmProvider");
        functions.createHash = (CreateHashFn)(void*)GetProcAddress(dll, "BCryptCreateHash");
        functions.hashData = (HashDataFn)(void*)GetProcAddress(dll, "BCryptHashData");
        functions.finishHash = (FinishHashFn)(void*)GetProcAddress(dll, "BCryptFinishHash");
        functions.destroyHash = (DestroyHashFn)(void*)GetProcAddress(dll, "BCryptDestroyHash");
    }
    const Cng& f = functions;
    if (!f.openAlgorithm || !f.closeAlgorithm || !f.createHash || !f.hashData || !f.finishHash ||
        !f.destroyHash)
        return nullptr;
    return &functions;
}

}  // namespace

Sha256::Sha256() : algorithm(nullptr), hash(nullptr) {}

Sha256::~Sha256() {
    close();
}

void Sha256::close() {
    if (!hash && !algorithm) return;
    const Cng* f = cng();
    if (hash) f->destroyHash(hash);
    if (algorithm) f->closeAlgorithm(algorithm, 0);
    hash = algorithm = nullptr;
}

bool Sha256::begin() {
    close();
    const Cng* f = cng();
    if (!f) return false;
    // Since Windows 7 CNG keeps the hash object itself when given none.
    if (f->openAlgorithm(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0 ||
        f->createHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) < 0) {
        hash = nullptr;
        close();
        return false;
    }
    return true;
}

bool Sha256::update(const void* data, size_t size) {
    if (!hash) return false;
    const unsigned char* bytes = (const unsigned char*)data;
    while (size > 0) {
        ULONG part = size > 0x40000000u ? 0x40000000u : (ULONG)size;
        if (cng()->hashData(hash, (PUCHAR)bytes, part, 0) < 0) {
            close();
            return false;
        }
        bytes += part;
        size -= part;
    }
    return true;
}

bool Sha256::finish(char (&hex)[Sha256HexSize]) {
    hex[0] = '\0';
    unsigned char digest[32];
    bool ok = hash && cng()->finishHash(hash, digest, sizeof digest, 0) >= 0;
    close();
    if (!ok) return false;
    static const char Digits[] = "0123456789abcdef";
    for (size_t i = 0; i < sizeof digest; ++i) {
        hex[2 * i] = Digits[digest[i] >> 4];
        hex[2 * i + 1] = Digits[digest[i] & 15];
    }
    hex[64] = '\0';
    return true;
}

bool Sha256::matches(const char* hex, const char* expected) {
    if (!hex || !expected) return false;
    while (isspace((unsigned char)*expected)) ++expected;
    size_t length = strlen(expected);
    while (length > 0 && isspace((unsigned char)expected[length - 1])) --length;
    if (length == 0 || length != strlen(hex)) return false;
    for (size_t i = 0; i < length; ++i)
        if (tolower((unsigned char)hex[i]) != tolower((unsigned char)expected[i])) return false;
    return true;
}
