// A private stand-in for HKEY_LOCAL_MACHINE: for its lifetime this process sees a fresh key under
// HKEY_CURRENT_USER in its place, so tests never touch (or race on) the machine's own entries.
#ifndef TESTS_UNIT_SANDBOX_H
#define TESTS_UNIT_SANDBOX_H

#include <windows.h>

#include <string>

const char* const WindowsNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

struct RegistrySandbox {
    const std::string path = "Software\\LauncherTests-" + std::to_string(GetCurrentProcessId());
    HKEY sandbox = nullptr;

    RegistrySandbox() {
        RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &sandbox);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, sandbox);
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(sandbox);
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    }
    // Values under the stand-in HKEY_LOCAL_MACHINE ("" when absent).
    void set(const std::string& key, const std::string& name, const std::string& value) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                        (DWORD)value.size() + 1);
    }
    std::string get(const std::string& key, const std::string& name) const {
        char value[20000] = "";
        DWORD size = sizeof value;
        RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value,
                     &size);
        return value;
    }
};

#endif
