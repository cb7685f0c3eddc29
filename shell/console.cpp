// The parent's console: attached only when the standard output goes
// nowhere, so that a redirected one keeps its pipe or file.
#include "shell/console.h"

#include <string.h>

static bool usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

HANDLE parentConsole() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (usable(out)) return out;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
    HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (console == INVALID_HANDLE_VALUE) return nullptr;
    // The handle stays open for the rest of the process, as both streams.
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    if (!usable(GetStdHandle(STD_ERROR_HANDLE))) SetStdHandle(STD_ERROR_HANDLE, console);
    return console;
}

void writeConsole(HANDLE out, const char* text) {
    if (!out) return;
    DWORD length = (DWORD)strlen(text), written = 0;
    while (length > 0 && WriteFile(out, text, length, &written, nullptr) && written > 0) {
        text += written;
        length -= written;
    }
}
