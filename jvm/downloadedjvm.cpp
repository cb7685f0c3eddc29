// DownloadedJvm: a JVM the package names by address ("jvmDownloadUrl") and
// SHA-256 ("jvmDownloadSha256"), fetched only now that no installed JVM
// fits, checked, and expanded into the stage of the staged transaction
// (stagedjvm.h). Without the address or the hash the package is faulty and
// nothing is fetched.
#include "base/bitness.h"
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
        result.details.add(TextDownloadAddress, settings.jvmDownloadUrl);
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
        const char* missing = !url[0]                          ? "jvmDownloadUrl"
                              : !settings.jvmDownloadSha256[0] ? "jvmDownloadSha256"
                                                               : nullptr;
        if (missing) {
            char line[200];
            formatText(line, sizeof line, "jvmInstallerType is %s, but %s is empty:",
                       DownloadInstallerType, missing);
            reportError(line, "no JVM is downloaded");
            result.fail(ProvisionFault::PackageFaulty, TextDownloadFailed);
            result.details.add(TextDownloadAddress, url[0] ? url : "-");
            return false;
        }
        trace("attempting to download jvm", request.version);
        Transfer transfer(request);
        return provideStaged(request, ownBits(), url, transfer, result);
    }
};

}  // namespace

JvmProvider& downloadedJvm() {
    static DownloadedJvm kind;
    return kind;
}
