// JvmDownload: fetches the JVM a package names by address and SHA-256 and
// expands it into a directory that the caller chose.
//
// The archive arrives in a private temporary file in the user's own TEMP
// folder: created anew under a random name, opened by this process alone
// (no other may open it while it lives) and deleted when it is closed, on
// every path. The bytes are hashed as they arrive, and the file is read only
// once the hash equals the one expected; only then is the zip expanded.
// A failure (no server, an answer other than 200, a truncated transfer, a
// hash that does not match, an archive that is not a zip or holds a name
// that would leave the target) leaves nothing expanded, and the result
// names the address (never its user and password) and the reason. The
// result also carries the size, the time and the hash, which the trace
// records.
#ifndef JVM_JVMDOWNLOAD_H
#define JVM_JVMDOWNLOAD_H

#include "base/progress.h"
#include "base/report.h"
#include "base/sha256.h"
#include "base/strbuf.h"
#include "exec/httpget.h"

// The SHA-256 a package writes (jvmDownloadSha256) as the 64 lowercase hex
// digits it stands for: the digits in either case, after an optional
// "sha256:" (in any case), blanks around the value and after the colon
// ignored. False, with out empty, for anything else, an empty value too.
// out holds Sha256HexSize bytes.
bool normalisedSha256(const char* written, char* out);

struct JvmDownloadResult {
    unsigned long long bytes;            // downloaded
    unsigned long milliseconds;          // of the transfer
    char sha256[Sha256HexSize];          // of the bytes downloaded; empty when none were
    unsigned entries;                    // expanded (files and folders)
    unsigned long long expanded;         // bytes written by the expansion
    char reason[PathBufferSize + 1024];  // "<url>: <why>" on failure (url without a
                                         // user and password), else empty
    bool expansionFailed;                // the archive arrived whole, its expansion failed
};

class JvmDownload {
public:
    JvmDownload();

    // Limits of name resolution, connection and a stalled transfer.
    void setLimits(const HttpLimits& value) { limits = value; }

    // Downloads url, checks it against expectedSha256 (as normalisedSha256
    // reads it; a malformed one fails before any request) and
    // expands it into targetDir (which exists). progress may be null. The
    // outcome goes to the trace, and a failure to errors.log as well.
    bool download(const char* url, const char* expectedSha256, const char* targetDir,
                  Progress* progress, JvmDownloadResult& result);

private:
    // shown: url as the lines and the reason name it (addressForLog).
    bool fetchAndExpand(const char* url, const char* shown, const char* expectedSha256,
                        const char* targetDir, Progress* progress, JvmDownloadResult& result);
    void report(const char* shown, bool ok, const JvmDownloadResult& result);

    HttpLimits limits;
};

#endif
