#include "jvmhome.h"
#include "testdir.h"

#include <direct.h>
#include <stdio.h>
#include <string.h>

std::string buildDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    for (int i = 0; i < 2; ++i) {
        char* slash = strrchr(path, '\\');
        if (slash) *slash = '\0';
    }
    return path;
}

static void makeDirs(const std::string& dir) {
    for (size_t i = 3; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == '\\') CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
}

void installStubJvm(const std::string& home, const char* program, const std::string& version) {
    std::string target = home + "\\" + program;
    std::string dir = target.substr(0, target.rfind('\\'));
    makeDirs(dir);
    std::string stub = buildDir() + "\\stubs\\stubjvm.exe";
    CopyFileA(stub.c_str(), target.c_str(), FALSE);
    writeFile(dir + "\\stubjvm.ini", "version=" + version + "\nwizard=1\n");
}

std::string runRecord(const std::string& programDir) {
    return readFile(programDir + "\\stubjvm.runs");
}

int testRuns(const std::string& programDir) {
    std::string record = runRecord(programDir);
    int runs = 0;
    for (size_t at = record.find("RUN test"); at != std::string::npos;
         at = record.find("RUN test", at + 1))
        ++runs;
    return runs;
}

void placeTestClass() {
    std::string real = buildDir() + "\\java\\TestJvm.class";
    if (!CopyFileA(real.c_str(), "TestJvm.class", FALSE)) writeFile("TestJvm.class", "class");
}

static const char* const Products[] = {"Java Runtime Environment", "Java Development Kit",
                                       "Java Plug-in"};

JavaSoftKeys::JavaSoftKeys() {
    lock = CreateMutexA(nullptr, FALSE, "launcher-tests-javasoft-registry");
    WaitForSingleObject(lock, INFINITE);
    clear();
}

JavaSoftKeys::~JavaSoftKeys() {
    clear();
    ReleaseMutex(lock);
    CloseHandle(lock);
}

void JavaSoftKeys::clear() {
    for (const char* product : Products) {
        std::string key = std::string("SOFTWARE\\JavaSoft\\") + product;
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    }
}

void JavaSoftKeys::add(const char* product, const std::string& version, const std::string& micro,
                       const std::string& home, const char* homeValue) {
    std::string path = std::string("SOFTWARE\\JavaSoft\\") + product + "\\" + version;
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    if (!micro.empty())
        RegSetValueExA(key, "MicroVersion", 0, REG_SZ, (const BYTE*)micro.c_str(),
                       (DWORD)micro.size() + 1);
    if (!home.empty())
        RegSetValueExA(key, homeValue, 0, REG_SZ, (const BYTE*)home.c_str(),
                       (DWORD)home.size() + 1);
    RegCloseKey(key);
}

std::string logText(const char* file) {
    std::string text = readFile(file), result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 25) result += line.substr(25) + "\n";
        start = end + 1;
    }
    return result;
}
