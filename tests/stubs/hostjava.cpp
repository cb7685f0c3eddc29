// A bridge from a Windows JVM home to the host's real Java, for tests and the demo under Wine.
#include <stdlib.h>

#include "stubini.h"

#include <string>
#include <vector>

typedef char*(CDECL* UnixNameFunction)(const WCHAR*);

static std::string ownDir;

static std::string setting(const char* key, const char* fallback) {
    char value[2048];
    iniSetting((ownDir + "\\hostjava.ini").c_str(), key, value, sizeof value, fallback);
    return value;
}

// The Unix path of a Windows path, or the path itself when Wine cannot say.
static std::string unixName(const std::string& path) {
    static UnixNameFunction convert = (UnixNameFunction)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!convert) return path;
    int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(size > 0 ? size : 1);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
    char* name = convert(wide.data());
    if (!name) return path;
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

static bool hasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// A single-quoted shell word: ' becomes '\''.
static std::string quoted(const std::string& word) {
    std::string result = "'";
    for (char c : word) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// The class path as a shell word.
static std::string convertClasspath(const std::string& classpath) {
    std::string result;
    size_t start = 0;
    for (;;) {
        size_t end = classpath.find(';', start);
        std::string element = classpath.substr(start, end == std::string::npos ? end : end - start);
        if (start > 0) result += "':'";
        if (hasDrive(element))
            result += "\"$(realpath -m " + quoted(unixName(element)) + ")\"";
        else
            result += quoted(element);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

static bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int main(int argc, char** argv) {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    ownDir = module;
    ownDir = ownDir.substr(0, ownDir.rfind('\\'));

    std::string java = setting("java", "/usr/lib/jvm/default-java/bin/java");
    int timeout = atoi(setting("timeout", "120").c_str());
    if (timeout <= 0) timeout = 120;

    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char unique[64];
    snprintf(unique, sizeof unique, "hostjava-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    std::string base = std::string(temp) + unique;
    std::string script = base + ".sh";
    std::string done = base + ".done";

    std::string command = quoted(java);
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool classpathNext = i > 1 && (strcmp(argv[i - 1], "-classpath") == 0 ||
                                       strcmp(argv[i - 1], "-cp") == 0 ||
                                       strcmp(argv[i - 1], "--class-path") == 0);
        command += " " + (classpathNext ? convertClasspath(arg) : quoted(arg));
    }
    std::string unixDone = unixName(done);
    std::string out = quoted(unixName(ownDir + "\\hostjava.out"));
    std::string text = "#!/bin/sh\ncd " + quoted(unixName(cwd)) + " || exit 1\n" +
                       "printf '%s\\n' " + quoted("hostjava: " + command) + " >>" + out +
                       "\n" + command + " </dev/null >>" + out + " 2>&1\necho $? >" +
                       quoted(unixDone + ".part") + "\nmv " + quoted(unixDone + ".part") + " " +
                       quoted(unixDone) + "\n";
    FILE* f = fopen(script.c_str(), "wb");
    if (!f) return 126;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);

    std::string line = "\"Z:\\bin\\sh\" \"" + unixName(script) + "\"";
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        remove(script.c_str());
        return 127;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    int code = 125;
    DWORD start = GetTickCount();
    while (!exists(done) && GetTickCount() - start < (DWORD)timeout * 1000) Sleep(50);
    f = fopen(done.c_str(), "r");
    if (f) {
        if (fscanf(f, "%d", &code) != 1) code = 125;
        fclose(f);
    }
    remove(done.c_str());
    remove(script.c_str());
    return code;
}
