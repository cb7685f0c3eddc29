// floor: the least a launcher can do on the happy path, to set the launcher's
// own time against. It starts each JVM it is given once on the test class,
// then starts the last one on the wizard, and waits for every run; nothing
// else (no registry, no files, no windows, no logs).
//
// It is a windowless GUI-subsystem program like installer.exe, so that its
// children are started from a process without a console exactly as the
// launcher's are, and it hands each child the same command line the
// launcher's C runtime builds (the program's file name first).
//
// Usage: floor.exe [--window] <work directory> <wizard arguments> <jvm>...
//   each <jvm>:  "<jvm> -cp . TestJvm <work directory>", then on the last
//   one "<file name of jvm> <wizard arguments>"; the work directory is also
//   the current directory of every run.
//   --window: first create one hidden window, as any program with a user
//   interface must; this prices the window system's start-up on its own
//   (user32 is loaded only then, so the plain floor does without it).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { CommandSize = 8192 };

static bool runAndWait(const char* program, const char* commandLine) {
    char line[CommandSize];
    snprintf(line, sizeof line, "%s", commandLine);  // CreateProcessA may write into it
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return true;
}

typedef ATOM(WINAPI* RegisterClassFunction)(const WNDCLASSA*);
typedef HWND(WINAPI* CreateWindowFunction)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND,
                                           HMENU, HINSTANCE, LPVOID);

static bool createHiddenWindow(HINSTANCE instance) {
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (!user32) return false;
    RegisterClassFunction registerClass =
        (RegisterClassFunction)(void*)GetProcAddress(user32, "RegisterClassA");
    CreateWindowFunction createWindow =
        (CreateWindowFunction)(void*)GetProcAddress(user32, "CreateWindowExA");
    FARPROC defaultProcedure = GetProcAddress(user32, "DefWindowProcA");
    if (!registerClass || !createWindow || !defaultProcedure) return false;
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = (WNDPROC)(void*)defaultProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FloorWClass";
    if (!registerClass(&windowClass)) return false;
    return createWindow(0, "FloorWClass", "", WS_POPUP, CW_USEDEFAULT, 0, 0, 0, nullptr, nullptr,
                        instance, nullptr) != nullptr;
}

static const char* fileName(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = __argc;
    char** argv = __argv;
    if (argc > 1 && strcmp(argv[1], "--window") == 0) {
        if (!createHiddenWindow(instance)) return 3;
        --argc;
        ++argv;
    }
    if (argc < 4) return 2;
    const char* dir = argv[1];
    const char* wizard = argv[2];
    char line[CommandSize];
    for (int i = 3; i < argc; ++i) {
        snprintf(line, sizeof line, "%s -cp . TestJvm %s", fileName(argv[i]), dir);
        if (!runAndWait(argv[i], line)) return 1;
    }
    snprintf(line, sizeof line, "%s %s", fileName(argv[argc - 1]), wizard);
    return runAndWait(argv[argc - 1], line) ? 0 : 1;
}
