#include "provision_support.h"
#include "testdir.h"

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>

const char* const JreKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
const char* const JdkKey = "SOFTWARE\\JavaSoft\\Java Development Kit";
const char* const WindowsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const WindowsNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

RegistrySandbox::RegistrySandbox() : sandbox(nullptr) {
    char name[128];
    snprintf(name, sizeof name, "Software\\LauncherTests\\sandbox-%lu-%lu", GetCurrentProcessId(),
             GetTickCount());
    path = name;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &sandbox, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, sandbox);
}

RegistrySandbox::~RegistrySandbox() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (sandbox) RegCloseKey(sandbox);
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\LauncherTests");  // only when empty
}

void RegistrySandbox::set(const std::string& key, const std::string& name,
                          const std::string& value) {
    HKEY opened;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return;
    if (!name.empty() || !value.empty())
        RegSetValueExA(opened, name.c_str(), 0, REG_SZ, (const BYTE*)value.c_str(),
                       (DWORD)value.size() + 1);
    RegCloseKey(opened);
}

std::string RegistrySandbox::get(const std::string& key, const std::string& name) const {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return "";
    std::string value(20000, '\0');
    DWORD size = (DWORD)value.size();
    if (RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, (BYTE*)&value[0], &size) !=
        ERROR_SUCCESS)
        size = 0;
    RegCloseKey(opened);
    value.resize(size);
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return value;
}

bool RegistrySandbox::hasValue(const std::string& key, const std::string& name) const {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    bool found = RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                 ERROR_SUCCESS;
    RegCloseKey(opened);
    return found;
}

bool RegistrySandbox::hasKey(const std::string& key) const {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::string stubProgram(const char* name) {
    return buildDir() + "\\stubs\\" + name + ".exe";
}

void makeDirs(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        _mkdir(path.substr(0, at).c_str());
    _mkdir(path.c_str());
}

void installJvmHome(const std::string& home, const std::string& version) {
    installStubJvm(home, "bin\\java.exe", version);
    installStubJvm(home, "bin\\javaw.exe", version);
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

TemporarySearchPath::TemporarySearchPath(const std::string& value) {
    const char* old = getenv("PATH");
    wasSet = old != nullptr;
    if (old) saved = old;
    _putenv(("PATH=" + value).c_str());
    // getPathPtr asks "path" first: make sure no other spelling shadows it.
}

TemporarySearchPath::~TemporarySearchPath() { _putenv(("PATH=" + saved).c_str()); }
