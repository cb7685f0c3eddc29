// Bitness: whether a program is a 32-bit or a 64-bit one, read from the
// machine field of its PE header; whether Windows itself is 64-bit; and the
// registry view in which a program of either kind is registered there.
#ifndef BASE_BITNESS_H
#define BASE_BITNESS_H

#include <windows.h>

// What the header of a program file gave.
struct PeMachine {
    bool read;               // a PE header was there and its machine field read
    unsigned short machine;  // IMAGE_FILE_MACHINE_..., 0 unless read
    unsigned bits;           // 32 or 64 for a machine known here, else 0
};

// Reads the DOS header's e_lfanew, the "PE\0\0" signature found there and
// the machine word that follows it. Nothing is read beyond those bytes.
PeMachine readPeMachine(const char* path);

// The bitness of the program at path (32 or 64); fallback when its header
// cannot be read or names a machine not known here.
unsigned programBits(const char* path, unsigned fallback);

// The launcher's own bitness: 32 or 64.
unsigned ownBits();

// Whether this Windows is 64-bit: always for a 64-bit program; for a 32-bit
// one, when it runs under WOW64.
bool windowsIs64Bit();

// The registry view in which a program of bits (32 or 64) is registered:
// KEY_WOW64_64KEY or KEY_WOW64_32KEY on 64-bit Windows; 0 (the one view)
// on 32-bit Windows, whose older versions refuse the flags. Unknown bits
// (0) count as the launcher's own.
REGSAM registryViewFor(unsigned bits);

// "64-bit", "32-bit" or "unknown", for the trace.
const char* bitsText(unsigned bits);

#endif
