// Bitness: the PE header's machine field, WOW64 and the registry views.
#include "base/bitness.h"

#include <stdio.h>

enum {
    DosHeaderSize = 64,
    LfanewOffset = 0x3C,
    MachineI386 = 0x014C,
    MachineArmNt = 0x01C4,
    MachineIa64 = 0x0200,
    MachineAmd64 = 0x8664,
    MachineArm64 = 0xAA64,
};

static unsigned machineBits(unsigned short machine) {
    switch (machine) {
    case MachineI386:
    case MachineArmNt:
        return 32;
    case MachineIa64:
    case MachineAmd64:
    case MachineArm64:
        return 64;
    default:
        return 0;
    }
}

static unsigned long littleEndian(const unsigned char* bytes, int count) {
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

PeMachine readPeMachine(const char* path) {
    PeMachine result = {false, 0, 0};
    FILE* file = path ? fopen(path, "rb") : nullptr;
    if (!file) return result;
    unsigned char dos[DosHeaderSize];
    unsigned char pe[6];
    if (fread(dos, 1, sizeof dos, file) == sizeof dos && dos[0] == 'M' && dos[1] == 'Z') {
        // e_lfanew is a signed 32-bit offset; a negative one names nothing.
        unsigned long offset = littleEndian(dos + LfanewOffset, 4);
        if (offset >= DosHeaderSize && offset < 0x80000000ul &&
            fseek(file, (long)offset, SEEK_SET) == 0 && fread(pe, 1, sizeof pe, file) == sizeof pe &&
            pe[0] == 'P' && pe[1] == 'E' && pe[2] == 0 && pe[3] == 0) {
            result.read = true;
            result.machine = (unsigned short)littleEndian(pe + 4, 2);
            result.bits = machineBits(result.machine);
        }
    }
    fclose(file);
    return result;
}

unsigned programBits(const char* path, unsigned fallback) {
    PeMachine header = readPeMachine(path);
    return header.bits ? header.bits : fallback;
}

unsigned ownBits() { return sizeof(void*) == 8 ? 64 : 32; }

bool windowsIs64Bit() {
    if (ownBits() == 64) return true;
    // Looked up, not linked: the 32-bit program starts on systems without it.
    typedef BOOL(WINAPI * IsWow64Function)(HANDLE, PBOOL);
    IsWow64Function isWow64 = (IsWow64Function)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

REGSAM registryViewFor(unsigned bits) {
    if (!windowsIs64Bit()) return 0;
    return (bits ? bits : ownBits()) == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

const char* bitsText(unsigned bits) {
    return bits == 64 ? "64-bit" : bits == 32 ? "32-bit" : "unknown";
}
