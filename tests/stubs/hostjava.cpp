// A bridge from a Windows JVM home to the host's real Java ("java" in hostjava.ini beside it): runs
// java through the host's sh (class-path elements on a drive made Unix paths), passes on what java
// writes to its standard output and standard error as it comes (so "-version" answers on standard
// error, as the JVM does), appends the command and java's output to hostjava.out beside it, and
// returns java's exit code (125: none in two minutes).
#include "stubini.h"
#include <string>

// The Unix path of a Windows path, or the path itself when Wine cannot say (never freed).
static std::string unixName(const std::string& path) {
    static auto convert = (char*(CDECL*)(const WCHAR*))(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
    char* name = convert(wide);
    return name ? name : path;
}

static std::string quoted(const std::string& word) {
    std::string result = "'";
    for (char c : word) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// The class path as a shell word; an element on a drive becomes its real Unix path.
static std::string classpath(char* list) {
    std::string result;
    for (char* element = strtok(list, ";"); element; element = strtok(nullptr, ";")) {
        if (!result.empty()) result += "':'";
        bool drive = element[0] && element[1] == ':';
        result += drive ? "\"$(realpath -m " + quoted(unixName(element)) + ")\"" : quoted(element);
    }
    return result;
}

// Passes on what java has added to the file path since offset to the handle to (none: dropped).
static void passOn(const std::string& path, LONGLONG& offset, HANDLE to) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                              FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    char block[4096];
    DWORD read = 0, written;
    while (SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) {
        if (to && to != INVALID_HANDLE_VALUE) WriteFile(to, block, read, &written, nullptr);
        at.QuadPart = offset += read;
    }
    CloseHandle(file);
}

int main(int argc, char** argv) {
    char temp[MAX_PATH], base[MAX_PATH + 32];
    GetTempPathA(MAX_PATH, temp);
    snprintf(base, sizeof base, "%shostjava-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
    std::string script = base + std::string(".sh"), done = base + std::string(".done");
    std::string out = base + std::string(".1"), err = base + std::string(".2");
    std::string command = quoted(iniSetting(beside("hostjava.ini"), "java"));
    for (int i = 1; i < argc; ++i) {
        bool list = strcmp(argv[i - 1], "-classpath") == 0 || strcmp(argv[i - 1], "-cp") == 0;
        command += " " + (list ? classpath(argv[i]) : quoted(argv[i]));
    }
    // The answer file appears whole: written under another name, then renamed.
    std::string log = quoted(unixName(beside("hostjava.out"))), unixDone = unixName(done);
    std::string part = quoted(unixDone + ".part");
    std::string text = "#!/bin/sh\ncd " + quoted(unixName(_getcwd(nullptr, 0))) + " || exit 1\n" +
                       "printf '%s\\n' " + quoted("hostjava: " + command) + " >>" + log + "\n" +
                       command + " </dev/null >" + quoted(unixName(out)) + " 2>" +
                       quoted(unixName(err)) + "\ncode=$?\ncat " + quoted(unixName(out)) + " " +
                       quoted(unixName(err)) + " >>" + log + "\necho code=$code >" + part +
                       "\nmv " + part + " " + quoted(unixDone) + "\n";
    if (!writeText(script.c_str(), "wb", "%s", text.c_str())) return 126;

    // Wine cannot wait for a Unix program: the script's answer file says when it has ended. Nor
    // can it hand it a Windows handle: java writes into two files, passed on while it runs.
    bool started = WinExec(("\"Z:\\bin\\sh\" \"" + unixName(script) + "\"").c_str(), SW_HIDE) > 31;
    LONGLONG outAt = 0, errAt = 0;
    HANDLE toOut = GetStdHandle(STD_OUTPUT_HANDLE), toErr = GetStdHandle(STD_ERROR_HANDLE);
    for (DWORD start = GetTickCount(); started && GetTickCount() - start < 120000; Sleep(50)) {
        bool ended = GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES;
        passOn(out, outAt, toOut);
        passOn(err, errAt, toErr);
        if (ended) break;
    }
    int code = started ? atoi(iniSetting(done.c_str(), "code", "125")) : 127;
    for (const std::string& name : {done, script, out, err}) remove(name.c_str());
    return code;
}
