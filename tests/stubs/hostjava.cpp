// A bridge from a Windows JVM home to the host's real Java ("java" in hostjava.ini beside it): it
// runs java with its arguments (class-path elements on a drive made Unix paths) through the host's
// sh, appends the command and java's output to hostjava.out beside it, and returns java's exit
// code (125: none in two minutes). For the tests and the demo under Wine.
#include "stubini.h"
#include <string>

// The Unix path of a Windows path, or the path itself when Wine cannot say.
static std::string unixName(const std::string& path) {
    static auto convert = (char*(CDECL*)(const WCHAR*))(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
    char* name = convert(wide);
    std::string result = name ? name : path;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// A single-quoted shell word.
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
        if (element[0] && element[1] == ':')
            result += "\"$(realpath -m " + quoted(unixName(element)) + ")\"";
        else
            result += quoted(element);
    }
    return result;
}

int main(int argc, char** argv) {
    char ini[MAX_PATH + 16], out[MAX_PATH + 16], java[MAX_PATH], cwd[MAX_PATH], temp[MAX_PATH];
    beside(ini, "hostjava.ini");
    beside(out, "hostjava.out");
    iniSetting(ini, "java", java, sizeof java, "/usr/lib/jvm/default-java/bin/java");
    GetCurrentDirectoryA(MAX_PATH, cwd);
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "hostjava-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(GetTickCount());
    std::string script = base + ".sh", done = base + ".done", unixDone = unixName(done);

    std::string command = quoted(java);
    for (int i = 1; i < argc; ++i) {
        bool classpathNext = i > 1 && (strcmp(argv[i - 1], "-classpath") == 0 ||
                                       strcmp(argv[i - 1], "-cp") == 0);
        command += " " + (classpathNext ? classpath(argv[i]) : quoted(argv[i]));
    }
    // The answer file appears whole: written under another name, then renamed.
    std::string log = quoted(unixName(out)), part = quoted(unixDone + ".part");
    std::string text = "#!/bin/sh\ncd " + quoted(unixName(cwd)) + " || exit 1\n" +
                       "printf '%s\\n' " + quoted("hostjava: " + command) + " >>" + log + "\n" +
                       command + " </dev/null >>" + log + " 2>&1\n" +
                       "echo code=$? >" + part + "\nmv " + part + " " + quoted(unixDone) + "\n";
    if (!writeText(script.c_str(), "wb", "%s", text.c_str())) return 126;

    // Wine cannot wait for a Unix program: the script's answer file says when it has ended.
    if (WinExec(("\"Z:\\bin\\sh\" \"" + unixName(script) + "\"").c_str(), SW_HIDE) <= 31) {
        remove(script.c_str());
        return 127;
    }
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(50))
        if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    int code = iniNumber(done.c_str(), "code", "125");
    remove(done.c_str());
    remove(script.c_str());
    return code;
}
