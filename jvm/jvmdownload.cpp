// JvmDownload: the transfer into a private temporary file, its check against
// the pinned SHA-256 and the expansion of the archive.
#include "jvm/jvmdownload.h"

#include "base/logaddress.h"
#include "base/zipfile.h"

#include <windows.h>
#include <ntsecapi.h>
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>


namespace {

// Hashes the body as it arrives and passes on the progress.
class Arrival : public HttpReceiver {
public:
    Arrival(Sha256& hash, Progress* progress) : hash(hash), progress(progress), hashed(true) {}
    void received(const void* data, unsigned long size, unsigned long long done,
                  unsigned long long total) override {
        hashed = hashed && hash.update(data, size);
        if (progress) progress->progress(ProgressDownload, done, total);
    }
    Sha256& hash;
    Progress* progress;
    bool hashed;
};

// A new file in the user's TEMP folder under a random name, readable and
// writable by this handle alone and deleted when it is closed.
HANDLE createPrivateTempFile() {
    wchar_t path[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH - 48) return INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 8; ++attempt) {
        unsigned char random[16];
        if (!RtlGenRandom(random, sizeof random)) return INVALID_HANDLE_VALUE;
        wchar_t* name = path + length;
        name += swprintf(name, 8, L"jvmdl-");
        for (unsigned char byte : random) name += swprintf(name, 3, L"%02x", byte);
        wcscpy(name, L".tmp");
        HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool fail(JvmDownloadResult& result, const char* shown, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool fail(JvmDownloadResult& result, const char* shown, const char* format, ...) {
    char why[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(why, sizeof why, format, args);
    why[sizeof why - 1] = '\0';
    va_end(args);
    formatText(result.reason, sizeof result.reason, "%s: %s", shown, why);
    return false;
}

}  // namespace

bool normalisedSha256(const char* written, char* out) {
    out[0] = '\0';
    if (!written) return false;
    while (isspace((unsigned char)*written)) ++written;
    if (_strnicmp(written, "sha256:", 7) == 0)
        for (written += 7; isspace((unsigned char)*written); ++written) {
        }
    size_t digits = 0;
    while (digits < 64 && isxdigit((unsigned char)written[digits])) ++digits;
    if (digits != 64) return false;
    for (const char* rest = written + digits; *rest; ++rest)
        if (!isspace((unsigned char)*rest)) return false;
    for (size_t i = 0; i < digits; ++i) out[i] = (char)tolower((unsigned char)written[i]);
    out[digits] = '\0';
    return true;
}

JvmDownload::JvmDownload() {
    limits.resolveSeconds = 30;
    limits.connectSeconds = 30;
    limits.stallSeconds = 60;
}

bool JvmDownload::download(const char* url, const char* expectedSha256, const char* targetDir,
                           Progress* progress, JvmDownloadResult& result) {
    memset(&result, 0, sizeof result);
    // The lines and the reason name the address without its user and password.
    char shown[PathBufferSize];
    addressForLog(url, shown, sizeof shown);
    bool ok = fetchAndExpand(url, shown, expectedSha256, targetDir, progress, result);
    report(shown, ok, result);
    return ok;
}

bool JvmDownload::fetchAndExpand(const char* url, const char* shown, const char* expectedSha256,
                                 const char* targetDir, Progress* progress,
                                 JvmDownloadResult& result) {
    char expected[Sha256HexSize];
    if (!normalisedSha256(expectedSha256, expected)) {
        const char* written = expectedSha256 ? expectedSha256 + strspn(expectedSha256, " \t") : "";
        if (!written[0])
            return fail(result, shown, "no SHA-256 to check it against (64 hex digits)");
        return fail(result, shown, "\"%.100s\" is no SHA-256 to check it against (64 hex digits)",
                    written);
    }
    Sha256 hash;
    if (!hash.begin()) return fail(result, shown, "SHA-256 is not available on this system");
    HANDLE file = createPrivateTempFile();
    if (file == INVALID_HANDLE_VALUE)
        return fail(result, shown, "no temporary file (error %lu)", GetLastError());

    Arrival arrival(hash, progress);
    HttpGetResult got;
    ULONGLONG start = GetTickCount64();
    bool ok = httpGet(url, file, limits, &arrival, got);
    result.milliseconds = (unsigned long)(GetTickCount64() - start);
    result.bytes = got.bytes;
    if (!ok) fail(result, shown, "%s", got.reason);
    if (ok && !(arrival.hashed && hash.finish(result.sha256)))
        ok = fail(result, shown, "the download could not be hashed");
    if (ok && strcmp(result.sha256, expected) != 0)
        ok = fail(result, shown, "SHA-256 mismatch: expected %s, got %s", expected, result.sha256);
    if (ok) {
        LARGE_INTEGER begin = {};
        ZipResult zip = {};
        ok = SetFilePointerEx(file, begin, nullptr, FILE_BEGIN) &&
             expandZip(file, targetDir, progress, zip);
        result.entries = zip.entries;
        result.expanded = zip.bytes;
        result.expansionFailed = !ok;
        if (!ok)
            fail(result, shown, "%s", zip.reason[0] ? zip.reason : "the archive cannot be read");
    }
    CloseHandle(file);
    return ok;
}

// The one place the download speaks to the trace and the error log.
void JvmDownload::report(const char* shown, bool ok, const JvmDownloadResult& result) {
    char line[PathBufferSize + 300];
    formatText(line, sizeof line, "%s: %llu bytes in %lu ms, SHA-256 %s", shown, result.bytes,
               result.milliseconds, result.sha256[0] ? result.sha256 : "-");
    trace("JVM download:", line);
    if (ok) {
        formatText(line, sizeof line, "%u entries, %llu bytes", result.entries, result.expanded);
        trace("JVM archive expanded:", line);
    } else {
        reportError("JVM download failed:", result.reason);
    }
}
