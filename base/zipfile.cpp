#include "base/scopedbuffer.h"
#include "base/zipfile.h"

#include "base/strbuf.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <zlib.h>

namespace {

typedef unsigned long long u64;

enum {
    EndSize = 22,                  // end of central directory record
    EndSearch = EndSize + 0xFFFF,  // the record and the longest comment
    Zip64LocatorSize = 20,
    Zip64EndSize = 56,
    CentralSize = 46,  // fixed part of a central directory entry
    LocalSize = 30,    // fixed part of a local header
    LongestCentralDirectory = 64 << 20,
    LongestName = 1024,  // UTF-16 units of one entry's name
    ChunkSize = 64 * 1024
};

const unsigned FlagEncrypted = 1, FlagUtf8 = 1 << 11;
const unsigned MethodStored = 0, MethodDeflated = 8;

unsigned get16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}
unsigned get32(const unsigned char* p) {
    return get16(p) | (unsigned)get16(p + 2) << 16;
}
u64 get64(const unsigned char* p) {
    return get32(p) | (u64)get32(p + 4) << 32;
}

bool seek(HANDLE file, u64 offset) {
    LARGE_INTEGER position;
    position.QuadPart = (LONGLONG)offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

bool readAll(HANDLE file, void* buffer, size_t size) {
    unsigned char* at = (unsigned char*)buffer;
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(file, at, (DWORD)size, &got, nullptr) || got == 0) return false;
        at += got;
        size -= got;
    }
    return true;
}

bool readAt(HANDLE file, u64 offset, void* buffer, size_t size) {
    return seek(file, offset) && readAll(file, buffer, size);
}

bool writeAll(HANDLE file, const unsigned char* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, (DWORD)size, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// A name Windows takes for a device wherever it stands (CON, NUL, COM1,
// "aux.txt"): the part before its first dot, blanks at its end ignored.
bool isDeviceName(const wchar_t* name, const wchar_t* end) {
    const wchar_t* stem = name;
    while (stem < end && *stem != L'.') ++stem;
    while (stem > name && stem[-1] == L' ') --stem;
    size_t length = (size_t)(stem - name);
    static const wchar_t* const Devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : Devices)
        if (length == wcslen(device) && _wcsnicmp(name, device, length) == 0) return true;
    return length == 4 && (_wcsnicmp(name, L"COM", 3) == 0 || _wcsnicmp(name, L"LPT", 3) == 0) &&
           name[3] >= L'1' && name[3] <= L'9';
}

// One entry of the central directory.
struct Entry {
    const unsigned char* rawName;
    unsigned rawLength;
    unsigned flags, method;
    unsigned long crc;
    u64 packed, size, offset;
    wchar_t name[LongestName];  // relative path with backslashes
    bool folder;                // the name ended in a slash
};

// The archive as its central directory tells it.
struct Archive {
    HANDLE file;
    u64 fileSize;
    u64 entryCount;
    u64 directoryOffset;
    unsigned char* directory;
    size_t directorySize;
    ZipResult* result;

    bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool failEntry(const Entry& entry, const char* why);
    bool open();
    bool readEntry(size_t& position, Entry& entry);
    bool checkName(Entry& entry);
};

bool Archive::fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(result->reason, sizeof result->reason, format, args);
    result->reason[sizeof result->reason - 1] = '\0';
    va_end(args);
    return false;
}

// The reason names the entry as the archive spells it, unprintable bytes as '?'.
bool Archive::failEntry(const Entry& entry, const char* why) {
    char name[300];
    size_t length = entry.rawLength < sizeof name - 1 ? entry.rawLength : sizeof name - 1;
    for (size_t i = 0; i < length; ++i)
        name[i] =
            entry.rawName[i] < 0x20 || entry.rawName[i] == 0x7F ? '?' : (char)entry.rawName[i];
    name[length] = '\0';
    return fail("entry \"%s\": %s", name, why);
}

bool Archive::open() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return fail("cannot read the archive (error %lu)", GetLastError());
    fileSize = (u64)size.QuadPart;
    if (fileSize < EndSize) return fail("not a zip archive (no central directory)");
    size_t tailSize = fileSize < EndSearch ? (size_t)fileSize : (size_t)EndSearch;
    u64 tailOffset = fileSize - tailSize;
    ScopedBuffer<unsigned char> tail(ScopedBuffer<unsigned char>::allocate(tailSize));
    if (!tail) return fail("out of memory");
    bool found = false;
    u64 endOffset = 0;
    unsigned char end[EndSize];
    if (readAt(file, tailOffset, tail, tailSize)) {
        for (size_t at = tailSize - EndSize + 1; at-- > 0;) {
            if (get32(tail + at) == 0x06054b50 &&
                at + EndSize + get16(tail + at + 20) <= tailSize) {
                memcpy(end, tail + at, EndSize);
                endOffset = tailOffset + at;
                found = true;
                break;
            }
        }
    }
    tail.reset();
    if (!found) return fail("not a zip archive (no central directory)");
    if (get16(end + 4) != 0 || get16(end + 6) != 0) return fail("a zip archive split into parts");
    entryCount = get16(end + 10);
    u64 directoryLength = get32(end + 12);
    directoryOffset = get32(end + 16);
    if (entryCount == 0xFFFF || directoryLength == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        unsigned char locator[Zip64LocatorSize], end64[Zip64EndSize];
        if (endOffset < Zip64LocatorSize ||
            !readAt(file, endOffset - Zip64LocatorSize, locator, sizeof locator) ||
            get32(locator) != 0x07064b50 ||
            !readAt(file, get64(locator + 8), end64, sizeof end64) || get32(end64) != 0x06064b50)
            return fail("damaged zip archive (Zip64 record missing)");
        entryCount = get64(end64 + 32);
        directoryLength = get64(end64 + 40);
        directoryOffset = get64(end64 + 48);
    }
    if (directoryOffset > fileSize || directoryLength > fileSize - directoryOffset)
        return fail("damaged zip archive (central directory beyond its end)");
    if (directoryLength > LongestCentralDirectory) return fail("central directory too large");
    directorySize = (size_t)directoryLength;
    directory = (unsigned char*)malloc(directorySize ? directorySize : 1);
    if (!directory) return fail("out of memory");
    if (!readAt(file, directoryOffset, directory, directorySize))
        return fail("cannot read the central directory");
    return true;
}

// Reads the entry at position of the central directory and moves past it.
bool Archive::readEntry(size_t& position, Entry& entry) {
    if (directorySize - position < CentralSize || get32(directory + position) != 0x02014b50)
        return fail("damaged zip archive (central directory)");
    const unsigned char* p = directory + position;
    unsigned extraLength = get16(p + 30);
    size_t whole = CentralSize + (size_t)get16(p + 28) + extraLength + get16(p + 32);
    if (directorySize - position < whole) return fail("damaged zip archive (central directory)");
    entry.flags = get16(p + 8);
    entry.method = get16(p + 10);
    entry.crc = get32(p + 16);
    entry.packed = get32(p + 20);
    entry.size = get32(p + 24);
    entry.offset = get32(p + 42);
    entry.rawName = p + CentralSize;
    entry.rawLength = get16(p + 28);
    // Zip64: the fields that overflowed follow in this order in extra block 1.
    const unsigned char* extra = entry.rawName + entry.rawLength;
    for (unsigned at = 0; at + 4 <= extraLength;) {
        unsigned id = get16(extra + at), length = get16(extra + at + 2);
        if (at + 4 + length > extraLength) break;
        if (id == 1) {
            const unsigned char* value = extra + at + 4;
            const unsigned char* valueEnd = value + length;
            u64* fields[] = {&entry.size, &entry.packed, &entry.offset};
            for (u64* field : fields) {
                if (*field != 0xFFFFFFFF) continue;
                if (value + 8 > valueEnd) return failEntry(entry, "damaged Zip64 sizes");
                *field = get64(value);
                value += 8;
            }
        }
        at += 4 + length;
    }
    position += whole;
    return checkName(entry);
}

// The name as a relative path inside the target, or the reason it is refused.
bool Archive::checkName(Entry& entry) {
    const char* raw = (const char*)entry.rawName;
    int length = (int)entry.rawLength;
    bool ascii = true;
    for (int i = 0; i < length; ++i) ascii = ascii && (unsigned char)raw[i] < 0x80;
    UINT codePage = (entry.flags & FlagUtf8) ? CP_UTF8 : ascii ? CP_ACP : 437;
    int count = length == 0
                    ? 0
                    : MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0,
                                          raw, length, entry.name, LongestName - 1);
    if (length > 0 && count <= 0) return failEntry(entry, "a name that cannot be read");
    entry.name[count] = L'\0';
    if (count == 0) return failEntry(entry, "an empty name");
    for (int i = 0; i < count; ++i)
        if (entry.name[i] == L'/') entry.name[i] = L'\\';
    entry.folder = entry.name[count - 1] == L'\\';
    if (entry.folder) entry.name[--count] = L'\0';
    if (entry.name[0] == L'\\')
        return failEntry(entry, "an absolute name, which would leave the target directory");
    if (wcschr(entry.name, L':'))
        return failEntry(entry,
                         "a drive letter or stream (':'), which would leave the target directory");
    // Segment by segment: Windows drops trailing dots and blanks of a name,
    // so a segment of nothing else (but ".") is as good as "..".
    for (const wchar_t* segment = entry.name; *segment;) {
        const wchar_t* segmentEnd = wcschr(segment, L'\\');
        if (!segmentEnd) segmentEnd = segment + wcslen(segment);
        bool dotsOnly = true;
        for (const wchar_t* c = segment; c < segmentEnd; ++c) {
            if (*c < 0x20 || wcschr(L"<>\"|?*", *c))
                return failEntry(entry, "a character Windows does not allow");
            dotsOnly = dotsOnly && (*c == L'.' || *c == L' ');
        }
        if (segmentEnd == segment) return failEntry(entry, "an empty name segment");
        if (dotsOnly && !(segmentEnd - segment == 1 && *segment == L'.'))
            return failEntry(entry, "a \"..\" segment, which would leave the target directory");
        if (isDeviceName(segment, segmentEnd)) return failEntry(entry, "the name of a device");
        segment = *segmentEnd ? segmentEnd + 1 : segmentEnd;
    }
    if (entry.folder && count == 0) return failEntry(entry, "an empty name");
    if (entry.flags & FlagEncrypted) return failEntry(entry, "encrypted");
    if (entry.method != MethodStored && entry.method != MethodDeflated) {
        char why[64];
        formatText(why, sizeof why, "compression method %u, not stored or deflated", entry.method);
        return failEntry(entry, why);
    }
    if (entry.method == MethodStored && entry.packed != entry.size)
        return failEntry(entry, "stored with two different sizes");
    if (entry.offset > directoryOffset || directoryOffset - entry.offset < LocalSize ||
        entry.packed > directoryOffset - entry.offset - LocalSize)
        return failEntry(entry, "data beyond the archive's contents");
    return true;
}

// Writes one archive's entries under a target directory.
struct Writer {
    Archive* archive;
    Progress* progress;
    u64 total;
    wchar_t path[32768];  // the target directory, a backslash, then the entry's name
    size_t base;          // length of the target directory and its backslash
    unsigned char* in;
    unsigned char* out;

    bool setTarget(const char* targetDir);
    bool setName(const Entry& entry);
    bool makeFolders(size_t upTo);
    bool writeEntry(const Entry& entry);
    bool copyData(const Entry& entry, HANDLE target);
    void undo(Entry& entry, u64 done);
};

bool Writer::setTarget(const char* targetDir) {
    const size_t capacity = sizeof path / sizeof path[0];
    int length = MultiByteToWideChar(CP_ACP, 0, targetDir, -1, path, (int)capacity - 1);
    if (length <= 1) return archive->fail("no target directory");
    base = (size_t)length - 1;
    if (path[base - 1] != L'\\' && path[base - 1] != L'/') path[base++] = L'\\';
    path[base] = L'\0';
    return true;
}

// Removes the files of the first done - 1 entries (the last one, which
// failed, removed its own or found one there before) and then every folder
// of the first done entries that is left empty.
void Writer::undo(Entry& entry, u64 done) {
    size_t position = 0;
    for (u64 i = 0; i + 1 < done && archive->readEntry(position, entry); ++i)
        if (!entry.folder && setName(entry)) DeleteFileW(path);
    position = 0;
    for (u64 i = 0; i < done && archive->readEntry(position, entry); ++i) {
        if (!setName(entry)) continue;
        size_t at = wcslen(path);
        if (!entry.folder) {
            const wchar_t* slash = wcsrchr(path + base, L'\\');
            at = slash ? (size_t)(slash - path) : base;
        }
        for (; at > base; --at) {
            if (path[at] != L'\\' && path[at] != L'\0') continue;
            path[at] = L'\0';
            RemoveDirectoryW(path);
        }
    }
}

bool Writer::setName(const Entry& entry) {
    size_t length = wcslen(entry.name);
    if (base + length >= sizeof path / sizeof path[0])
        return archive->failEntry(entry, "a path too long for Windows");
    memcpy(path + base, entry.name, (length + 1) * sizeof(wchar_t));
    return true;
}

// Creates each folder of path up to character upTo (exclusive).
bool Writer::makeFolders(size_t upTo) {
    for (size_t at = base; at <= upTo; ++at) {
        if (at != upTo && path[at] != L'\\') continue;
        wchar_t saved = path[at];
        path[at] = L'\0';
        DWORD attributes = GetFileAttributesW(path);
        bool ok =
            (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) ||
            CreateDirectoryW(path, nullptr);
        path[at] = saved;
        if (!ok) return false;
    }
    return true;
}

bool Writer::writeEntry(const Entry& entry) {
    if (!setName(entry)) return false;
    size_t length = wcslen(path);
    if (entry.folder) {
        if (!makeFolders(length)) return archive->failEntry(entry, "its folder cannot be created");
        return true;
    }
    const wchar_t* slash = wcsrchr(path + base, L'\\');
    if (slash && !makeFolders((size_t)(slash - path)))
        return archive->failEntry(entry, "its folder cannot be created");
    unsigned char local[LocalSize];
    if (!readAt(archive->file, entry.offset, local, sizeof local) || get32(local) != 0x04034b50)
        return archive->failEntry(entry, "no local header where the central directory says");
    u64 dataOffset = entry.offset + LocalSize + get16(local + 26) + get16(local + 28);
    if (dataOffset > archive->directoryOffset ||
        entry.packed > archive->directoryOffset - dataOffset)
        return archive->failEntry(entry, "data beyond the archive's contents");
    HANDLE target =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        char why[80];
        formatText(why, sizeof why,
                   GetLastError() == ERROR_FILE_EXISTS ? "the file exists already"
                                                       : "cannot be created (error %lu)",
                   GetLastError());
        return archive->failEntry(entry, why);
    }
    bool ok = seek(archive->file, dataOffset) && copyData(entry, target);
    CloseHandle(target);
    if (!ok) DeleteFileW(path);
    return ok;
}

// The entry's data from the archive (positioned at it) into target.
bool Writer::copyData(const Entry& entry, HANDLE target) {
    z_stream stream;
    memset(&stream, 0, sizeof stream);
    bool deflated = entry.method == MethodDeflated;
    if (deflated && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return archive->fail("out of memory");
    u64 left = entry.packed, written = 0;
    unsigned long crc = crc32(0, nullptr, 0);
    const char* why = nullptr;
    bool ended = !deflated && left == 0;
    while (!why && !ended) {
        if (stream.avail_in == 0 && left > 0) {
            unsigned part = left < ChunkSize ? (unsigned)left : (unsigned)ChunkSize;
            if (!readAll(archive->file, in, part)) {
                why = "cannot be read from the archive";
                break;
            }
            stream.next_in = in;
            stream.avail_in = part;
            left -= part;
        }
        const unsigned char* data = in;
        unsigned produced = stream.avail_in;
        if (deflated) {
            stream.next_out = out;
            stream.avail_out = ChunkSize;
            int status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                ended = true;
            else if (status != Z_OK && !(status == Z_BUF_ERROR && left > 0)) {
                why = "damaged compressed data";
                break;
            }
            data = out;
            produced = ChunkSize - stream.avail_out;
        } else {
            stream.avail_in = 0;
            ended = left == 0;
        }
        if (produced > entry.size - written) {
            why = "more data than its recorded size";
            break;
        }
        if (!writeAll(target, data, produced)) {
            why = "cannot be written (disk full?)";
            break;
        }
        crc = crc32(crc, data, produced);
        written += produced;
        archive->result->bytes += produced;
        if (progress && produced) progress->progress(ProgressExpand, archive->result->bytes, total);
    }
    if (deflated) inflateEnd(&stream);
    if (!why && written != entry.size) why = "less data than its recorded size";
    if (!why && crc != entry.crc) why = "CRC-32 does not match its data";
    return why ? archive->failEntry(entry, why) : true;
}

}  // namespace

bool expandZip(HANDLE file, const char* targetDir, Progress* progress, ZipResult& result) {
    result.entries = 0;
    result.bytes = 0;
    result.reason[0] = '\0';
    Archive archive = {file, 0, 0, 0, nullptr, 0, &result};
    ScopedBuffer<Entry> entry(ScopedBuffer<Entry>::allocate(1));
    ScopedBuffer<Writer> writer(ScopedBuffer<Writer>::allocate(1));
    ScopedBuffer<unsigned char> buffers(ScopedBuffer<unsigned char>::allocate(2 * ChunkSize));
    bool ok = entry && writer && buffers;
    if (!ok) archive.fail("out of memory");
    ok = ok && archive.open();
    // First the whole directory: names, methods and sizes, before a byte is written.
    u64 total = 0, count = 0;
    size_t position = 0;
    while (ok && position < archive.directorySize) {
        ok = archive.readEntry(position, *entry);
        total += ok ? entry->size : 0;
        count += ok ? 1 : 0;
    }
    if (ok && count != archive.entryCount)
        ok = archive.fail("damaged zip archive (%llu entries listed, %llu found)",
                          archive.entryCount, count);
    if (ok) {
        writer->archive = &archive;
        writer->progress = progress;
        writer->total = total;
        writer->in = buffers;
        writer->out = buffers + ChunkSize;
        ok = writer->setTarget(targetDir);
    }
    // Then entry by entry; a fault takes back what was written.
    position = 0;
    u64 done = 0;
    while (ok && done < count) {
        ok = archive.readEntry(position, *entry) && writer->writeEntry(*entry);
        if (ok) ++result.entries;
        ++done;
    }
    if (!ok && done > 0) writer->undo(*entry, done);
    free(archive.directory);
    return ok;
}
