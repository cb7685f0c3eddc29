// A private stand-in for HKEY_LOCAL_MACHINE: for its lifetime this process sees a fresh, empty key
// under HKEY_CURRENT_USER in its place, so that tests can set up the Windows folders and JavaSoft
// entries they need without touching (or racing on) the machine's own.
#ifndef TESTS_UNIT_SANDBOX_H
#define TESTS_UNIT_SANDBOX_H

#include <windows.h>

#include <string>

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    // Values under the stand-in HKEY_LOCAL_MACHINE ("" when absent).
    void set(const std::string& key, const std::string& name, const std::string& value);
    std::string get(const std::string& key, const std::string& name) const;

private:
    std::string path;
    HKEY sandbox;
};

extern const char* const JreKey;
extern const char* const WindowsKey;
extern const char* const WindowsNtKey;

#endif
