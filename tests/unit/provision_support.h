// Test support for the JVM provisioning tests: a private stand-in for
// HKEY_LOCAL_MACHINE, stub JVM homes and the stub outside programs, and a
// temporary search path. Builds on the JVM discovery tests' helpers.
#ifndef TESTS_UNIT_PROVISION_SUPPORT_H
#define TESTS_UNIT_PROVISION_SUPPORT_H

#include "jvmhome.h"

#include <windows.h>

#include <string>

// For its lifetime this process sees a fresh, empty key under
// HKEY_CURRENT_USER in place of HKEY_LOCAL_MACHINE, so that tests can set up
// the Windows folders and JavaSoft entries they need without touching (or
// racing on) the machine's own; the key is deleted afterwards. Programs the
// test starts see the real HKEY_LOCAL_MACHINE: root() names the stand-in for
// them ("HKCU\Software\LauncherTests\...").
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    std::string root() const { return "HKCU\\" + path; }

    // Values and keys under the stand-in HKEY_LOCAL_MACHINE.
    void set(const std::string& key, const std::string& name, const std::string& value);
    std::string get(const std::string& key, const std::string& name) const;
    bool hasValue(const std::string& key, const std::string& name) const;
    bool hasKey(const std::string& key) const;

private:
    std::string path;
    HKEY sandbox;
};

// Keys of the JVM registration.
extern const char* const JreKey;
extern const char* const JdkKey;
extern const char* const WindowsKey;
extern const char* const WindowsNtKey;

// The path of a stub program of the build (stubjvm, stubjvmarchive, ...).
std::string stubProgram(const char* name);
// A stub JVM home: home\bin\java.exe and javaw.exe reporting version.
void installJvmHome(const std::string& home, const std::string& version);
// Makes every missing level of a directory path.
void makeDirs(const std::string& path);
// True when path exists (file or directory).
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
// Deletes a directory tree (test clean-up).
void removeTree(const std::string& dir);

// Sets the search path for its lifetime.
class TemporarySearchPath {
public:
    explicit TemporarySearchPath(const std::string& value);
    ~TemporarySearchPath();

private:
    std::string saved;
    bool wasSet;
};

#endif
