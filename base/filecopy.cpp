// File copy and append: read and written in large blocks, the copy written
// beside its destination and renamed over it only when complete.
#include "base/filecopy.h"
#include "base/disknames.h"
#include "base/fexists.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"

#include <windows.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>

enum { BlockSize = 30000, MaxBlocks = 20, StreamBufferSize = 1 << 20 };

bool copyStream(FILE* source, FILE* destination) {
    if (!source || !destination) return false;

    // 64-bit offsets: files over 2 GB are measured and compared correctly.
    if (_fseeki64(source, 0, SEEK_END) != 0) return false;
    __int64 length = _ftelli64(source);
    if (length < 0 || _fseeki64(source, 0, SEEK_SET) != 0) return false;

    __int64 needed = length / BlockSize + 1;
    int blockCount = needed < MaxBlocks ? (int)needed : MaxBlocks;
    char* blocks[MaxBlocks];
    size_t counts[MaxBlocks];
    int allocated = 0;
    for (; allocated < blockCount; ++allocated) {
        blocks[allocated] = (char*)malloc(BlockSize + 1);
        if (!blocks[allocated]) break;
    }
    if (allocated == 0) return false;

    __int64 written = 0;
    bool failed = false;
    while (!feof(source) && !failed) {
        int filled = 0;
        for (; filled < allocated; ++filled) {
            counts[filled] = fread(blocks[filled], 1, BlockSize, source);
            if (feof(source)) {
                ++filled;
                break;
            }
            if (ferror(source)) {
                failed = true;
                break;
            }
        }
        for (int i = 0; i < filled && !failed; ++i) {
            if (counts[i] == 0) break;
            if (fwrite(blocks[i], 1, counts[i], destination) != counts[i]) failed = true;
            written += counts[i];
        }
    }
    if (!failed && fflush(destination) != 0) failed = true;

    for (int i = 0; i < allocated; ++i) free(blocks[i]);
    return !failed && feof(source) && written == length;
}

// True when both streams are the same file (an append of a file to itself
// would never end).
static bool sameFile(FILE* a, FILE* b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    HANDLE ha = (HANDLE)_get_osfhandle(_fileno(a));
    HANDLE hb = (HANDLE)_get_osfhandle(_fileno(b));
    if (!GetFileInformationByHandle(ha, &ia) || !GetFileInformationByHandle(hb, &ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// The runtime's default 4 KB stream buffers split every 30000-byte block
// into several system calls; larger buffers let a copy move at the speed of
// the system's own. Must run before any other I/O on the streams.
static void setStreamBuffers(FILE* in, FILE* out) {
    setvbuf(in, nullptr, _IOFBF, StreamBufferSize);
    setvbuf(out, nullptr, _IOFBF, StreamBufferSize);
}

// The Windows 95 family has no MoveFileEx: there the destination is deleted
// and the copy renamed.
bool replaceFile(const char* temporary, const char* destination) {
    if (MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    if (_access(destination, 0) == 0 && !DeleteFileA(destination)) return false;
    return MoveFileA(temporary, destination) != 0;
}

static bool isCopySource(const char* source) {
    return source && fexists(source) && !isDir(source);
}

// Copies the contents of source into target opened with mode ("wb" or "ab");
// never a file into itself. False when anything failed.
static bool copyContents(const char* source, const char* target, const char* mode) {
    bool ok = false;
    FILE* in = fopen(source, "rb");
    if (in) {
        FILE* out = fopen(target, mode);
        if (out) {
            setStreamBuffers(in, out);
            ok = !sameFile(in, out) && copyStream(in, out);
            if (fclose(out) != 0) ok = false;
        }
        fclose(in);
    }
    return ok;
}

bool copyFile(const char* source, const char* destination) {
    if (!isCopySource(source) || !destination || !*destination) return false;

    // The copy is written beside the destination and renamed over it only
    // when complete: a failed copy leaves neither a partial file nor a
    // damaged earlier destination (nor a truncated source when both name
    // the same file).
    // A destination that exists must be writable, as it would have to be
    // for an overwrite in place.
    if (fexists(destination)) {
        DWORD attributes = GetFileAttributesA(destination);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return false;
        FILE* probe = fopen(destination, "r+b");
        if (!probe) return false;
        fclose(probe);
    }

    size_t size = strlen(destination) + 16;
    ScopedText temporary(ScopedText::allocate(size));
    if (!temporary) return false;
    formatText(temporary, size, "%s%s", destination, CopyInProgressSuffix);

    bool ok = copyContents(source, temporary, "wb");
    if (ok) ok = replaceFile(temporary, destination);
    if (!ok) remove(temporary);
    return ok;
}

bool appendFile(const char* source, const char* destination) {
    if (!isCopySource(source) || !destination || !*destination) return false;
    bool ok = copyContents(source, destination, "ab");
    return ok;
}
