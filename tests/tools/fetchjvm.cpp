// fetchjvm URL SHA256 TARGETDIR [STALLSECONDS]: the JVM download on its own, for the
// scenarios that prove it against a local server. Prints "ok" or "failed: <reason>", then how
// often each stage reported progress and its last bytes done and total, the seconds the whole
// download took (transfer, hash and expansion) and the seconds of the transfer alone (the hash is
// taken as the bytes arrive, so it is part of them); exits 0 on success. The stalled transfer's
// scenario and the benchmark (bench/run.sh) use it.
#include "base/filereport.h"
#include "jvm/jvmdownload.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

struct Counter : Progress {
    void progress(ProgressStage stage, unsigned long long done, unsigned long long total) override {
        ++calls[stage];
        last[stage][0] = done;
        last[stage][1] = total;
    }
    unsigned calls[2] = {0, 0};
    unsigned long long last[2][2] = {{0, 0}, {0, 0}};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: fetchjvm URL SHA256 TARGETDIR [STALLSECONDS]\n");
        return 2;
    }
    // The trace and the error log of the current directory, as a run has them.
    FileReport files(false);
    setReport(&files);
    JvmDownload download;
    if (argc > 4) {
        unsigned stall = (unsigned)atoi(argv[4]);
        download.setLimits(HttpLimits{stall, stall, stall});
    }
    Counter report;
    JvmDownloadResult result;
    ULONGLONG start = GetTickCount64();
    bool ok = download.download(argv[1], argv[2], argv[3], &report, result);
    ULONGLONG took = GetTickCount64() - start;
    printf(ok ? "ok\n" : "failed: %s\n", result.reason);
    const char* names[] = {"download", "expand"};
    for (int stage = 0; stage < 2; ++stage)
        printf("%s %u %llu %llu\n", names[stage], report.calls[stage], report.last[stage][0],
               report.last[stage][1]);
    printf("seconds %llu.%03llu\n", took / 1000, took % 1000);
    printf("transfer %lu.%03lu\n", result.milliseconds / 1000, result.milliseconds % 1000);
    return ok ? 0 : 1;
}
