// Bitness: the PE header's machine field, WOW64, the machine's processor
// and the registry views.
#include "base/bitness.h"

#include "base/strbuf.h"

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

// ARM64 Windows runs x64 programs from build 21277 on (Windows 11); the
// build as the kernel says it, which no compatibility shim alters.
enum { FirstX64EmulationBuild = 21277 };

static DWORD windowsBuild() {
    typedef LONG(WINAPI * GetVersionFunction)(OSVERSIONINFOW*);
    GetVersionFunction getVersion = (GetVersionFunction)(void*)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    OSVERSIONINFOW version;
    version.dwOSVersionInfoSize = sizeof version;
    return getVersion && getVersion(&version) == 0 ? version.dwBuildNumber : 0;
}

static MachineAnswer askWindows() {
    MachineAnswer answer = {0, 0, false};
    // Looked up, not linked: the program starts on systems without them.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    typedef BOOL(WINAPI * IsWow64Function2)(HANDLE, USHORT*, USHORT*);
    IsWow64Function2 isWow64Process2 =
        (IsWow64Function2)(void*)GetProcAddress(kernel, "IsWow64Process2");
    USHORT process = 0, native = 0;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &process, &native)) {
        answer.processMachine = process;
        answer.nativeMachine = native;
    } else {
        typedef BOOL(WINAPI * IsWow64Function)(HANDLE, PBOOL);
        IsWow64Function isWow64 =
            (IsWow64Function)(void*)GetProcAddress(kernel, "IsWow64Process");
        BOOL wow64 = FALSE;
        if (isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64) {
            answer.processMachine = MachineI386;
            answer.nativeMachine = MachineAmd64;
        } else {
            SYSTEM_INFO system;
            GetNativeSystemInfo(&system);
            switch (system.wProcessorArchitecture) {
            case PROCESSOR_ARCHITECTURE_AMD64: answer.nativeMachine = MachineAmd64; break;
            case PROCESSOR_ARCHITECTURE_IA64: answer.nativeMachine = MachineIa64; break;
            case PROCESSOR_ARCHITECTURE_ARM: answer.nativeMachine = MachineArmNt; break;
            case 12 /* PROCESSOR_ARCHITECTURE_ARM64 */: answer.nativeMachine = MachineArm64; break;
            default: answer.nativeMachine = MachineI386; break;
            }
        }
    }
    answer.emulatesX64 =
        answer.nativeMachine == MachineArm64 && windowsBuild() >= FirstX64EmulationBuild;
    return answer;
}

static MachineAnswer machine;
static bool machineAsked;

const MachineAnswer& machineAnswer() {
    if (!machineAsked) {
        machine = askWindows();
        machineAsked = true;
    }
    return machine;
}

void setMachineAnswer(const MachineAnswer* answer) {
    machineAsked = answer != nullptr;
    if (answer) machine = *answer;
}

const char* machineName(unsigned short code) {
    switch (code) {
    case MachineI386: return "x86";
    case MachineAmd64: return "x64";
    case MachineArm64: return "ARM64";
    case MachineArmNt: return "ARM";
    case MachineIa64: return "Itanium";
    default: return nullptr;
    }
}

bool machineRuns(const MachineAnswer& answer, unsigned short program, char* why, size_t cap) {
    unsigned short native = answer.nativeMachine;
    if (!machineName(program) || !machineName(native) || program == native ||
        program == MachineI386 || (program == MachineAmd64 && native == MachineArm64 &&
                                   answer.emulatesX64))
        return true;
    formatText(why, cap, "its program is for %s machines, this machine is %s%s",
               machineName(program), machineName(native),
               native == MachineArm64 && program == MachineAmd64 ? " (without x64 emulation)"
                                                                  : "");
    return false;
}

bool windowsIs64Bit() {
    if (ownBits() == 64) return true;
    return machineBits(machineAnswer().nativeMachine) == 64;
}

REGSAM registryViewFor(unsigned bits) {
    if (!windowsIs64Bit()) return 0;
    return (bits ? bits : ownBits()) == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

const char* bitsText(unsigned bits) {
    return bits == 64 ? "64-bit" : bits == 32 ? "32-bit" : "unknown";
}
