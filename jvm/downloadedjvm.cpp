// DownloadedJvm: a JVM the package names by address ("jvmDownloadUrl") and
// SHA-256 ("jvmDownloadSha256"), fetched only now that no installed JVM
// fits, checked, and expanded into the stage of the staged transaction
// (stagedjvm.h). Without the address or the hash the package is faulty and
// nothing is fetched.
#include "base/bitness.h"
#include "base/logaddress.h"
#include "config/controlkeys.h"
#include "jvm/jvmdownload.h"
#include "jvm/jvmprovider.h"
#include "jvm/stagedjvm.h"

namespace {

class Transfer : public StageFiller {
public:
    Transfer(const ProvisionRequest& request) : request(request) {}

    bool fill(const char* stageDir, const char*, ProvisionResult& result) override {
        const ControlSettings& settings = request.settings;
        trace("downloading jvm into", stageDir);
        JvmDownload download;
        JvmDownloadResult got;
        if (download.download(settings.jvmDownloadUrl, settings.jvmDownloadSha256, stageDir,
                              request.progress, got))
            return true;
        // An archive that arrived whole and could not be expanded is no
        // failed download.
        result.fail(ProvisionFault::Failed,
                    got.expansionFailed ? TextExpansionFailed : TextDownloadFailed);
        char address[PathBufferSize];
        addressForLog(settings.jvmDownloadUrl, address, sizeof address);
        result.details.add(TextDownloadAddress, address);
        return false;
    }

private:
    const ProvisionRequest& request;
};

class DownloadedJvm : public JvmProvider {
public:
    bool provide(const ProvisionRequest& request, ProvisionResult& result) override {
        const ControlSettings& settings = request.settings;
        const char* url = settings.jvmDownloadUrl;
        const char* sha = settings.jvmDownloadSha256;
        char address[PathBufferSize], digits[Sha256HexSize];
        addressForLog(url, address, sizeof address);
        const char* missing = !url[0] ? "jvmDownloadUrl" : !sha[0] ? "jvmDownloadSha256" : nullptr;
        // A package without the address or a sum to check against is faulty,
        // and nothing is fetched.
        if (missing || !normalisedSha256(sha, digits)) {
            char line[300];
            if (missing)
                formatText(line, sizeof line, "jvmInstallerType is %s, but %s is empty:",
                           DownloadedJvmType, missing);
            else
                formatText(line, sizeof line,
                           "jvmDownloadSha256 is not a SHA-256 (64 hex digits, perhaps after "
                           "\"sha256:\"): %.100s;", sha);
            reportError(line, "no JVM is downloaded");
            result.fail(ProvisionFault::PackageFaulty, TextDownloadFailed);
            result.details.add(TextDownloadAddress, url[0] ? address : "-");
            return false;
        }
        trace("attempting to download jvm", request.version);
        Transfer transfer(request);
        return provideStaged(request, ownBits(), address, transfer, result);
    }
};

// Constant-initialised, so no guard of a local static is needed.
DownloadedJvm kind;

}  // namespace

JvmProvider& downloadedJvm() { return kind; }
