// filebench: how the launcher's file utilities (base/filecopy, base/deltree)
// compare with the system's own ways of doing the same work, measured inside
// Windows (under Wine on the build machine).
//
//   copyFile    against CopyFileA, on one large file
//   appendFile  against a plain ReadFile/WriteFile append of the same file
//   delDirTree  against "cmd /c rmdir /s /q", on a JVM-like tree of many
//               small files in a few hundred directories
//
// Each figure is the median of several runs; the two sides of a pair run
// alternately so that both see the same state of the caches. Every result
// is checked (sizes, content, tree gone) and a failed check fails the run.
//
// Usage: filebench.exe <scratch directory> [--quick] [--keep]
//                      [--size-mb N] [--files N] [--dirs N] [--runs N]
//                      [--tree-runs N]
// (--keep leaves the source file and the directory for the caller;
// --once KIND makes one copy of that kind only, for tracing tools.)
// Output: one "RESULT <name> <seconds> <bytes or files>" line per figure.
#include "base/deltree.h"
#include "base/filecopy.h"
#include "timing.h"

#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MaxRuns = 15, PathSize = 1024, PlainAppendBuffer = 1 << 20 };

struct Options {
    char directory[PathSize];
    unsigned sizeMb = 512;
    unsigned files = 20000;
    unsigned dirs = 300;
    unsigned runs = 5;
    unsigned treeRuns = 3;
    bool keep = false;      // leave the source file for the host's own copy
    char once[64] = "";     // only one copy of this kind (for tracing tools)
};

static bool failed = false;
static void check(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "filebench: check failed: %s\n", what);
    failed = true;
}

static void joinPath(char* out, const char* directory, const char* name) {
    snprintf(out, PathSize, "%s\\%s", directory, name);
}

static long long fileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// A file of the given size whose bytes are not all alike.
static bool writePatternFile(const char* path, long long size) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const long long Chunk = 1 << 20;
    unsigned char* buffer = (unsigned char*)malloc(Chunk);
    bool ok = buffer != nullptr;
    for (long long written = 0, n = 0; ok && written < size; ++n) {
        for (long long i = 0; i < Chunk; ++i) buffer[i] = (unsigned char)(i * 31 + n * 7 + (i >> 9));
        DWORD part = (DWORD)(size - written < Chunk ? size - written : Chunk);
        DWORD done = 0;
        ok = WriteFile(file, buffer, part, &done, nullptr) && done == part;
        written += part;
    }
    free(buffer);
    CloseHandle(file);
    return ok;
}

// True when the file at b holds exactly the bytes of a, starting at offset.
static bool sameContent(const char* a, const char* b, long long offset) {
    FILE* fa = fopen(a, "rb");
    FILE* fb = fopen(b, "rb");
    bool same = fa && fb && _fseeki64(fb, offset, SEEK_SET) == 0;
    enum { Chunk = 1 << 20 };
    char* ba = (char*)malloc(Chunk);
    char* bb = (char*)malloc(Chunk);
    same = same && ba && bb;
    while (same) {
        size_t na = fread(ba, 1, Chunk, fa);
        size_t nb = fread(bb, 1, Chunk, fb);
        if (na != nb || memcmp(ba, bb, na) != 0) same = false;
        if (na == 0) break;
    }
    free(ba);
    free(bb);
    if (fa) fclose(fa);
    if (fb) fclose(fb);
    return same;
}

// The peer of appendFile: the whole source appended with ReadFile/WriteFile.
static bool plainAppend(const char* source, const char* destination) {
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = CreateFileA(destination, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    char* buffer = (char*)malloc(PlainAppendBuffer);
    bool ok = buffer != nullptr;
    while (ok) {
        DWORD got = 0, put = 0;
        ok = ReadFile(in, buffer, PlainAppendBuffer, &got, nullptr) != 0;
        if (!ok || got == 0) break;
        ok = WriteFile(out, buffer, got, &put, nullptr) && put == got;
    }
    free(buffer);
    CloseHandle(out);
    CloseHandle(in);
    return ok;
}

static const char AppendHeader[] = "existing log lines\r\n";

static void freshAppendTarget(const char* path) {
    FILE* file = fopen(path, "wb");
    if (file) {
        fputs(AppendHeader, file);
        fclose(file);
    }
}

// Runs a command line and waits for it; false when it could not start.
static bool runAndWait(const char* commandLine) {
    char line[PathSize * 2];
    snprintf(line, sizeof line, "%s", commandLine);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// A JVM-like tree: directories nested a few levels deep (each has up to
// four subdirectories), the files spread over them, mostly small.
static bool buildTree(const char* root, unsigned dirs, unsigned files) {
    if (!CreateDirectoryA(root, nullptr)) return false;
    char(*paths)[PathSize] = (char(*)[PathSize])malloc((size_t)dirs * PathSize);
    if (!paths) return false;
    bool ok = true;
    snprintf(paths[0], PathSize, "%s", root);
    for (unsigned i = 1; i < dirs && ok; ++i) {
        char name[32];
        snprintf(name, sizeof name, "pkg%u", i);
        joinPath(paths[i], paths[(i - 1) / 4], name);
        ok = CreateDirectoryA(paths[i], nullptr) != 0;
    }
    static char content[16384];
    for (unsigned i = 0; i < sizeof content; ++i) content[i] = (char)('a' + i % 26);
    for (unsigned i = 0; i < files && ok; ++i) {
        char name[32], path[PathSize];
        snprintf(name, sizeof name, "Class%u.class", i);
        joinPath(path, paths[i % dirs], name);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            ok = false;
            break;
        }
        DWORD size = 100 + (i * 7919u) % 8000u, done = 0;
        ok = WriteFile(file, content, size, &done, nullptr) && done == size;
        CloseHandle(file);
    }
    free(paths);
    return ok;
}

static void result(const char* name, double seconds, long long amount) {
    printf("RESULT %s %.4f %lld\n", name, seconds, amount);
    fflush(stdout);
}

static bool parse(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    snprintf(options.directory, PathSize, "%s", argv[1]);
    for (int i = 2; i < argc; ++i) {
        const char* arg = argv[i];
        unsigned* target = nullptr;
        if (strcmp(arg, "--keep") == 0) {
            options.keep = true;
            continue;
        }
        if (strcmp(arg, "--once") == 0 && i + 1 < argc) {
            snprintf(options.once, sizeof options.once, "%s", argv[++i]);
            continue;
        }
        if (strcmp(arg, "--quick") == 0) {
            options.sizeMb = 8;
            options.files = 400;
            options.dirs = 20;
            options.runs = 3;
            options.treeRuns = 1;
            continue;
        }
        if (strcmp(arg, "--size-mb") == 0) target = &options.sizeMb;
        if (strcmp(arg, "--files") == 0) target = &options.files;
        if (strcmp(arg, "--dirs") == 0) target = &options.dirs;
        if (strcmp(arg, "--runs") == 0) target = &options.runs;
        if (strcmp(arg, "--tree-runs") == 0) target = &options.treeRuns;
        if (!target || i + 1 >= argc) return false;
        *target = (unsigned)strtoul(argv[++i], nullptr, 10);
    }
    if (options.runs < 1 || options.runs > MaxRuns) return false;
    if (options.treeRuns < 1 || options.treeRuns > MaxRuns) return false;
    return options.dirs >= 1 && options.files >= 1;
}

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        fprintf(stderr,
                "usage: filebench <scratch dir> [--quick] [--keep] [--size-mb N] [--files N] [--dirs N]"
                " [--runs N] [--tree-runs N]\n");
        return 2;
    }
    const char* dir = options.directory;
    CreateDirectoryA(dir, nullptr);
    char source[PathSize], ours[PathSize], theirs[PathSize], tree[PathSize];
    joinPath(source, dir, "bench.src");
    joinPath(ours, dir, "bench.ours");
    joinPath(theirs, dir, "bench.theirs");
    joinPath(tree, dir, "tree");

    long long size = (long long)options.sizeMb << 20;
    printf("CONFIG size_mb=%u files=%u dirs=%u runs=%u tree_runs=%u source=%s\n", options.sizeMb,
           options.files, options.dirs, options.runs, options.treeRuns, source);
    if (!writePatternFile(source, size)) {
        fprintf(stderr, "filebench: cannot write %s\n", source);
        return 1;
    }

    if (options.once[0]) {
        // One copy only: copyFile or CopyFileA. The
        // source stays for the next call.
        bool ok = false;
        DeleteFileA(ours);
        if (strcmp(options.once, "copyFile") == 0) ok = copyFile(source, ours);
        if (strcmp(options.once, "CopyFileA") == 0) ok = CopyFileA(source, ours, FALSE) != 0;
        DeleteFileA(ours);
        return ok ? 0 : 1;
    }

    // Copy: copyFile against CopyFileA.
    double a[MaxRuns], b[MaxRuns];
    for (unsigned run = 0; run < options.runs; ++run) {
        DeleteFileA(ours);
        DeleteFileA(theirs);
        bool oursFirst = run % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            bool doOurs = (side == 0) == oursFirst;
            double start = now();
            bool ok = doOurs ? copyFile(source, ours) : CopyFileA(source, theirs, FALSE) != 0;
            double took = now() - start;
            check(ok, doOurs ? "copyFile" : "CopyFileA");
            (doOurs ? a : b)[run] = took;
        }
        check(fileSize(ours) == size && fileSize(theirs) == size, "copy sizes");
    }
    check(sameContent(source, ours, 0), "copyFile content");
    result("copyFile", median(a, options.runs), size);
    result("CopyFileA", median(b, options.runs), size);
    DeleteFileA(theirs);

    DeleteFileA(theirs);

    // Append: appendFile against ReadFile/WriteFile, each onto a small
    // existing file.
    long long header = (long long)strlen(AppendHeader);
    for (unsigned run = 0; run < options.runs; ++run) {
        freshAppendTarget(ours);
        freshAppendTarget(theirs);
        bool oursFirst = run % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            bool doOurs = (side == 0) == oursFirst;
            double start = now();
            bool ok = doOurs ? appendFile(source, ours) : plainAppend(source, theirs);
            double took = now() - start;
            check(ok, doOurs ? "appendFile" : "plain append");
            (doOurs ? a : b)[run] = took;
        }
        check(fileSize(ours) == size + header && fileSize(theirs) == size + header,
              "append sizes");
    }
    check(sameContent(source, ours, header), "appendFile content");
    result("appendFile", median(a, options.runs), size);
    result("plainAppend", median(b, options.runs), size);

    DeleteFileA(ours);
    DeleteFileA(theirs);
    if (!options.keep) DeleteFileA(source);

    // The start-up of cmd alone, so that the rmdir figure can be read with
    // and without it.
    double startup[MaxRuns];
    for (unsigned run = 0; run < options.runs; ++run) {
        double start = now();
        check(runAndWait("cmd.exe /c exit"), "cmd start");
        startup[run] = now() - start;
    }
    result("cmdStartup", median(startup, options.runs), 0);

    // Tree deletion: delDirTree against cmd's rmdir.
    char command[PathSize * 2];
    snprintf(command, sizeof command, "cmd.exe /c rmdir /s /q \"%s\"", tree);
    for (unsigned run = 0; run < options.treeRuns; ++run) {
        bool oursFirst = run % 2 == 0;
        for (int side = 0; side < 2; ++side) {
            bool doOurs = (side == 0) == oursFirst;
            if (!buildTree(tree, options.dirs, options.files)) {
                fprintf(stderr, "filebench: cannot build the tree %s\n", tree);
                return 1;
            }
            double start = now();
            bool ok = doOurs ? delDirTree(tree) : runAndWait(command);
            double took = now() - start;
            check(ok, doOurs ? "delDirTree" : "rmdir");
            check(GetFileAttributesA(tree) == INVALID_FILE_ATTRIBUTES, "tree deleted");
            (doOurs ? a : b)[run] = took;
        }
    }
    result("delDirTree", median(a, options.treeRuns), options.files);
    result("rmdir", median(b, options.treeRuns), options.files);

    if (!options.keep) RemoveDirectoryA(dir);
    return failed ? 1 : 0;
}
