// The kinds of provider by their "jvmInstallerType", and what they share.
#include "jvm/jvmprovider.h"

#include "config/controlkeys.h"

#include <string.h>

bool ProvisionResult::fail(ProvisionFault why, UserText text, const char* first,
                           const char* second) {
    fault = why;
    message.clear();
    details.clear();
    message.add(text, first, second);
    return false;
}

NestedText versionsWanted(const JvmWanted& wanted) {
    if (wanted.required[0]) return NestedText{UserTextCount, wanted.required, nullptr};
    if (wanted.maximum[0]) return NestedText{TextVersionRange, wanted.minimum, wanted.maximum};
    return NestedText{TextVersionOrLater, wanted.minimum, nullptr};
}

bool packageLacksFile(const ProvisionRequest& request, ProvisionResult& result) {
    result.fail(ProvisionFault::PackageFaulty, TextUnableToFindJvm, request.kind);
    result.message.clear();
    result.message.add(TextUnableToFindJvm, request.kind, versionsWanted(request.wanted));
    result.details.add(TextInstallTheJvm);
    return false;
}

JvmProvider* jvmProviderFor(const char* installerType) {
    static const struct {
        const char* type;
        JvmProvider& (*kind)();
    } Kinds[] = {
        {CompressedJvmType, compressedJvm},
        {JvmInstallerProgramType, jvmInstallerProgram},
        {DownloadedJvmType, downloadedJvm},
    };
    for (const auto& kind : Kinds)
        if (installerType && _stricmp(installerType, kind.type) == 0) return &kind.kind();
    return nullptr;
}
