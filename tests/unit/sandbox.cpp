#include "sandbox.h"

#include <stdio.h>

const char* const JreKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
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
