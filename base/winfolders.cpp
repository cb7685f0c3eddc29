// WinFolders: the Windows directory, Program Files and the user's folders.
// The registry is read through RegKey; the user's folders through
// SHGetKnownFolderPath or SHGetFolderPathA of whichever library has them.
#include "base/winfolders.h"
#include "base/disknames.h"
#include "base/bitness.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"

#include <windows.h>
#include <direct.h>
#include <string.h>

static const char WindowsNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
static const char WindowsNtSetupKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SETUP";
static const char WindowsSetupKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SETUP";
static const char WindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
static const char ProgramFilesValue[] = "ProgramFilesDir";

enum { CsidlLocalAppData = 0x1C, CsidlProfile = 0x28 };

// FOLDERID_UserProgramFiles, {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}.
static const GUID UserProgramFilesId = {
    0x5CD7AEE2, 0x2219, 0x4A67, {0xB8, 0x5D, 0x6C, 0x9C, 0xE1, 0x56, 0x60, 0xCB}};

const char* WinFolders::registryWindowsDirectory(char* dir, size_t cap) {
    struct Source {
        const char* key;
        const char* value;
        const char* label;
    };
    static const Source Sources[] = {
        {WindowsNtKey, "SystemRoot", "SystemRoot"},
        {WindowsNtKey, "PathName", "PathName"},
        {WindowsNtKey, "WinDir", "WinDir"},
        {WindowsNtSetupKey, "WinDir", "Setup WinDir"},
        {WindowsSetupKey, "WinDir", "Windows Setup WinDir"},
    };
    for (const Source& source : Sources) {
        if (readRegistryText(HKEY_LOCAL_MACHINE, source.key, source.value, dir, cap))
            return source.label;
    }
    if (cap) dir[0] = '\0';
    return nullptr;
}

bool WinFolders::systemWindowsDirectory(char* dir, size_t cap) {
    if (!cap) return false;
    UINT length = GetWindowsDirectoryA(dir, (UINT)cap);
    if (length == 0 || length >= cap) dir[0] = '\0';
    return dir[0] != '\0';
}

bool WinFolders::getProgramFilesDirectory(char* dir, unsigned bits) {
    dir[0] = '\0';
    // Each registry view names the Program Files of its own programs.
    REGSAM access = KEY_QUERY_VALUE | registryViewFor(bits);
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, WindowsKey, access) != ERROR_SUCCESS)
        key.open(HKEY_LOCAL_MACHINE, WindowsNtKey, access);
    if (key.isOpen()) {
        char value[PathBufferSize];
        key.readValue(ProgramFilesValue, value, sizeof value);
        key.close();
        if (value[0]) {
            copyText(dir, PathBufferSize, value);
            return true;
        }
    } else if (fexists(DefaultProgramFilesFolder)) {
        copyText(dir, PathBufferSize, DefaultProgramFilesFolder);
        return true;
    }
    trace("Unable to find Program Files directory in registry");
    return false;
}

typedef HRESULT(WINAPI* GetFolderPathProc)(HWND, int, HANDLE, DWORD, LPSTR);

// SHGetFolderPathA of whichever library is present (old systems have it in
// SHFolder.dll only); null when neither has it.
static GetFolderPathProc folderPathFunction() {
    HMODULE library = LoadLibraryA("Shell32.dll");
    if (!library) library = LoadLibraryA("SHFolder.dll");
    if (!library) return nullptr;
    return reinterpret_cast<GetFolderPathProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "SHGetFolderPathA")));
}

// The first of the folders (CSIDL numbers) that the shell reports.
static bool shellFolder(const int* folders, size_t count, char* dir) {
    dir[0] = '\0';
    GetFolderPathProc getFolderPath = folderPathFunction();
    if (!getFolderPath) return false;
    // The system writes at most MAX_PATH characters.
    char path[PathBufferSize];
    for (size_t i = 0; i < count; ++i) {
        path[0] = '\0';
        if (getFolderPath(nullptr, folders[i], nullptr, 0, path) >= 0 && path[0]) {
            path[PathBufferSize - 1] = '\0';
            return copyText(dir, PathBufferSize, path);
        }
    }
    return false;
}

bool WinFolders::getUserProfileDirectory(char* dir) {
    dir[0] = '\0';
    DWORD length = GetEnvironmentVariableA("USERPROFILE", dir, PathBufferSize);
    if (length > 0 && length < PathBufferSize && isDir(dir)) return true;
    static const int Folders[] = {CsidlProfile};
    return shellFolder(Folders, dimof(Folders), dir);
}

typedef HRESULT(WINAPI* KnownFolderPathProc)(const GUID*, DWORD, HANDLE, PWSTR*);
typedef void(WINAPI* TaskMemFreeProc)(void*);

// The known folder id as the shell reports it (Windows 7 and later), in the
// ANSI code page; false where the shell does not know it.
static bool knownFolder(const GUID& id, char* dir) {
    dir[0] = '\0';
    HMODULE library = LoadLibraryA("Shell32.dll");
    if (!library) return false;
    KnownFolderPathProc getPath = reinterpret_cast<KnownFolderPathProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "SHGetKnownFolderPath")));
    if (!getPath) return false;
    PWSTR wide = nullptr;
    bool ok = false;
    if (getPath(&id, 0, nullptr, &wide) >= 0 && wide && wide[0]) {
        int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, dir, PathBufferSize, nullptr,
                                         nullptr);
        ok = length > 0;
        if (!ok) dir[0] = '\0';
    }
    if (wide) {
        HMODULE ole = LoadLibraryA("Ole32.dll");
        TaskMemFreeProc release = ole ? reinterpret_cast<TaskMemFreeProc>(
                                            reinterpret_cast<void (*)()>(
                                                GetProcAddress(ole, "CoTaskMemFree")))
                                      : nullptr;
        if (release) release(wide);
    }
    return ok;
}

bool WinFolders::mayWriteProgramFiles(unsigned bits) {
    char dir[PathBufferSize], probe[PathBufferSize];
    bool writable = false;
    if (getProgramFilesDirectory(dir, bits)) {
        // A folder of this run's own, made anew and removed again: one that
        // is there already (an earlier run's, left behind) proves nothing.
        ULONGLONG tick = GetTickCount64();
        for (unsigned attempt = 0; attempt < 8; ++attempt) {
            if (!formatText(probe, sizeof probe, "%s%s%s-%lu-%llx-%u", dir, PathSeparator,
                            WriteProbeDirPrefix, GetCurrentProcessId(), tick, attempt))
                break;
            if (CreateDirectoryA(probe, nullptr)) {
                writable = true;
                if (!RemoveDirectoryA(probe)) trace("unable to remove the probe folder", probe);
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
    }
    trace("Ok to use Program files subdirectory for jvm", writable);
    return writable;
}

bool WinFolders::getUserProgramsDirectory(char* dir) {
    if (!knownFolder(UserProgramFilesId, dir)) {
        static const int Folders[] = {CsidlLocalAppData};
        char local[PathBufferSize];
        if (!shellFolder(Folders, dimof(Folders), local) ||
            !formatText(dir, PathBufferSize, "%s%s%s", local, PathSeparator, ProgramsFolder)) {
            dir[0] = '\0';
            trace("Unable to find the user's Programs folder");
            return false;
        }
    }
    _mkdir(dir);  // new profiles have none until a program goes there
    if (!isDir(dir)) {
        trace("Unable to make the user's Programs folder", dir);
        dir[0] = '\0';
        return false;
    }
    return true;
}

bool WinFolders::getProgramsDirectory(char* dir, unsigned bits, bool* perUser) {
    // Where it cannot write the machine's Program Files, the run installs
    // for its user alone: a folder shared by all users (Public Documents)
    // would let any of them replace programs that someone else then runs.
    bool machine = mayWriteProgramFiles(bits) && getProgramFilesDirectory(dir, bits);
    if (perUser) *perUser = !machine;
    if (machine) return true;
    bool ok = getUserProgramsDirectory(dir);
    trace("the user's own Programs folder", dir);
    return ok;
}
