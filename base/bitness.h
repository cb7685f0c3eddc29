// Bitness: whether a program is a 32-bit or a 64-bit one, read from the
// machine field of its PE header; whether Windows itself is 64-bit; the
// registry view in which a program of either kind is registered there; and
// whether this machine runs a program made for a given processor at all.
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

// What Windows says of this machine's processor. IsWow64Process2 (Windows
// 10 version 1709 and later) names the process's machine under WOW64 and
// the machine's own; where it is missing, IsWow64Process and the native
// system information say it for x86 and x64. IsWow64Process alone would
// not do on ARM64: it calls an x86 program there no WOW64 process.
struct MachineAnswer {
    unsigned short processMachine;  // IMAGE_FILE_MACHINE_... under WOW64, else 0
    unsigned short nativeMachine;   // IMAGE_FILE_MACHINE_... of the processor
    bool emulatesX64;               // ARM64 Windows that runs x64 programs (Windows 11)
};

// This machine's answer, asked of Windows once.
const MachineAnswer& machineAnswer();
// Makes machineAnswer() give *answer (a test's machine); null asks Windows
// again.
void setMachineAnswer(const MachineAnswer* answer);

// "x86", "x64", "ARM64", "ARM" or "Itanium"; null for a machine not known here.
const char* machineName(unsigned short machine);

// Whether a program for machine runs on the machine answered: an x86 one
// everywhere, an x64 one on x64 and on ARM64 that emulates x64, any on its
// own machine. A machine not known here is not judged (true). When not, why
// receives "its program is for ARM64 machines, this machine is x64".
bool machineRuns(const MachineAnswer& answer, unsigned short machine, char* why, size_t cap);

// Whether this Windows is 64-bit: always for a 64-bit program; for a 32-bit
// one, when the machine's own processor is a 64-bit one.
bool windowsIs64Bit();

// The registry view in which a program of bits (32 or 64) is registered:
// KEY_WOW64_64KEY or KEY_WOW64_32KEY on 64-bit Windows; 0 (the one view)
// on 32-bit Windows, whose older versions refuse the flags. Unknown bits
// (0) count as the launcher's own.
REGSAM registryViewFor(unsigned bits);

// "64-bit", "32-bit" or "unknown", for the trace.
const char* bitsText(unsigned bits);

#endif
