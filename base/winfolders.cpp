// WinFolders: the Windows directory, Program Files and the documents
// folders. The registry is read through RegKey; the documents folder through
// SHGetFolderPathA of whichever library has it.
#include "base/winfolders.h"
#include "base/bitness.h"
#include "base/clib.h"
#include "base/fexists.h"
#include "base/regkey.h"
#include "base/strbuf.h"

#include <windows.h>
#include <direct.h>
#include <string.h>

static const char TraceFilename[] = "jinstall.log";
static const char DIR_END[] = "\\";
static const char ProbeDirName[] = "__test__zos";
static const char DefaultProgramFilesDir[] = "C:\\Program Files";

static const char WindowsNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
static const char WindowsNtSetupKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SETUP";
static const char WindowsSetupKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SETUP";
static const char WindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
static const char ProgramFilesValue[] = "ProgramFilesDir";

enum { OsVersionInfoSize = 148, CsidlCommonDocuments = 0x2E, CsidlPersonal = 0x05,
       CsidlProfile = 0x28 };

bool WinFolders::isWinNT() { return (GetVersion() & 0x80000000u) == 0; }

bool WinFolders::isVistaOrWindows7() {
    bool answer = false;
    if (!LoadLibraryA("KERNEL32.DLL")) {
        traceMessage(TraceFilename, "KERNEL32 not found");
    } else {
        traceMessage(TraceFilename, "checking for vista/7");
        OSVERSIONINFOA info;
        memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = OsVersionInfoSize;
        if (GetVersionExA(&info)) answer = info.dwMajorVersion >= 6;
    }
    traceMessage(TraceFilename, "vista/7", answer);
    return answer;
}

const char* WinFolders::registryWindowsDirectory(bool winNT, char* dir, size_t cap) {
    struct Source {
        bool ntOnly;
        const char* key;
        const char* value;
        const char* label;
    };
    static const Source Sources[] = {
        {true, WindowsNtKey, "SystemRoot", "SystemRoot"},
        {true, WindowsNtKey, "PathName", "PathName"},
        {true, WindowsNtKey, "WinDir", "WinDir"},
        {true, WindowsNtSetupKey, "WinDir", "Setup WinDir"},
        {false, WindowsSetupKey, "WinDir", "Windows Setup WinDir"},
    };
    for (const Source& source : Sources) {
        if (source.ntOnly && !winNT) continue;
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
    } else if (fexists(DefaultProgramFilesDir)) {
        copyText(dir, PathBufferSize, DefaultProgramFilesDir);
        return true;
    }
    traceMessage(TraceFilename, "Unable to find Program Files directory in registry");
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

bool WinFolders::getDocumentsDirectory(char* dir) {
    static const int Folders[] = {CsidlCommonDocuments, CsidlPersonal};
    return shellFolder(Folders, dimof(Folders), dir);
}

bool WinFolders::getUserProfileDirectory(char* dir) {
    dir[0] = '\0';
    DWORD length = GetEnvironmentVariableA("USERPROFILE", dir, PathBufferSize);
    if (length > 0 && length < PathBufferSize && isDir(dir)) return true;
    static const int Folders[] = {CsidlProfile};
    return shellFolder(Folders, dimof(Folders), dir);
}

bool WinFolders::getProgramsDirectory(char* dir, unsigned bits) {
    if (!isVistaOrWindows7()) return getProgramFilesDirectory(dir, bits);
    if (!getProgramFilesDirectory(dir, bits)) return getDocumentsDirectory(dir);

    // Program Files is used only where a directory can be made in it.
    char probe[PathBufferSize];
    bool writable = false;
    if (formatText(probe, sizeof probe, "%s%s%s", dir, DIR_END, ProbeDirName)) {
        bool created = _mkdir(probe) == 0;
        writable = isDir(probe);
        if (created) _rmdir(probe);
    }
    traceMessage(TraceFilename, "Ok to use Program files subdirectory for jvm", writable);
    if (writable) return true;
    return getDocumentsDirectory(dir);
}
