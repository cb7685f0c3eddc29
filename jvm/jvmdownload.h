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
// names the address and the reason. The result also carries the size, the
// time and the hash, which the trace records.
#ifndef JVM_JVMDOWNLOAD_H
#define JVM_JVMDOWNLOAD_H

#include "base/progress.h"
#include "base/report.h"
#include "base/sha256.h"
#include "base/strbuf.h"
#include "exec/httpget.h"

struct JvmDownloadResult {
    unsigned long long bytes;            // downloaded
    unsigned long milliseconds;          // of the transfer
    char sha256[Sha256HexSize];          // of the bytes downloaded; empty when none were
    unsigned entries;                    // expanded (files and folders)
    unsigned long long expanded;         // bytes written by the expansion
    char reason[PathBufferSize + 1024];  // "<url>: <why>" on failure, else empty
    bool expansionFailed;                // the archive arrived whole, its expansion failed
};

class JvmDownload {
public:
    JvmDownload();

    // Limits of name resolution, connection and a stalled transfer.
    void setLimits(const HttpLimits& value) { limits = value; }

    // Downloads url, checks it against expectedSha256 (64 hex digits) and
    // expands it into targetDir (which exists). progress may be null. The
    // outcome goes to the trace, and a failure to errors.log as well.
    bool download(const char* url, const char* expectedSha256, const char* targetDir,
                  Progress* progress, JvmDownloadResult& result);

private:
    bool fetchAndExpand(const char* url, const char* expectedSha256, const char* targetDir,
                        Progress* progress, JvmDownloadResult& result);
    void report(const char* url, bool ok, const JvmDownloadResult& result);

    HttpLimits limits;
};

#endif
