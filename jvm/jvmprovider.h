// JvmProvider: one way of providing a JVM when no installed one fits. Each
// kind is a class of its own that takes its keys from the control file
// (CompressedJvm: the self-extracting program of the package; DownloadedJvm:
// an archive fetched by address and SHA-256; JvmInstallerProgram: a vendor's
// installer program), and makeJvmProvider chooses one by "jvmInstallerType".
// A new kind is one file with its class and a line in the table of
// jvmprovider.cpp (plus its keys in config/controlkeys). The kinds hold no
// state: one object of each lives for the whole program.
//
// A provider answers with a ProvisionResult: the JVM, or the fault and the
// text of the box that says what happened. What the JVM classes know in
// English goes to errors.log as it happens.
#ifndef JVM_JVMPROVIDER_H
#define JVM_JVMPROVIDER_H

#include "base/progress.h"
#include "base/strbuf.h"
#include "base/usertext.h"
#include "config/settings.h"
#include "jvm/jvmwanted.h"

// What every kind is asked: the JVM wanted and where the package wants it.
struct ProvisionRequest {
    const ControlSettings& settings;  // each kind's own keys
    JvmWanted wanted;        // the installation's limits and program name
    const char* version;     // the version the package provides ("jvmVersion")
    const char* kind;        // "JRE", "JDK", "Java Plug-in", ... ("jvmName")
    const char* installDir;  // "predefinedJvmInstallDir"; empty: the default place
    const char* homeDir;     // "jvmHomeDir": the home inside what is expanded
    const char* windowsDir;  // where a pre-9 JVM's program copies go
    bool configureRegistry;  // "configureWinRegistry"
    bool ownTrace;           // the launcher made the trace: javaw for an old "jre" name
    Progress* progress;      // what the user sees of a long step; null: nothing
};

enum class ProvisionFault {
    None,
    NotOffered,    // the package offers no JVM of this kind (no file named)
    PackageFaulty, // the package names what it does not hold, or a value is malformed
    Failed         // providing the JVM failed; the result's box says how
};

struct ProvisionResult {
    ProvisionFault fault = ProvisionFault::None;
    JvmFound jvm = {};
    // A new JVM was placed by this run (it gets the package's security
    // files and is named as installed in "native.properties").
    bool placed = false;
    // The folder this run made for the JVM (the one a temporary JVM's
    // clean-up may delete); empty when it made none.
    char madeDir[PathBufferSize] = "";
    // The box, when the provider knows what happened; empty: the general one.
    UserLines message;
    UserLines details;

    // Sets the fault with the box's text; false, for the provider's return.
    bool fail(ProvisionFault why, UserText text, const char* first = nullptr,
              const char* second = nullptr);
};

class JvmProvider {
public:
    // Provides the JVM; true with result.jvm filled, else result says why.
    virtual bool provide(const ProvisionRequest& request, ProvisionResult& result) = 0;

protected:
    ~JvmProvider() {}
};

// The versions wanted, as a box names them: the required version, else
// "<min> - <max>", else "<min> or a later version".
NestedText versionsWanted(const JvmWanted& wanted);

// The package names a file it does not hold: the fault and its box; false,
// for the provider's return.
bool packageLacksFile(const ProvisionRequest& request, ProvisionResult& result);

// The provider of a "jvmInstallerType" (compared without regard to case);
// null for an empty or unknown type.
JvmProvider* jvmProviderFor(const char* installerType);

// The kinds, each in its own file.
JvmProvider& compressedJvm();
JvmProvider& downloadedJvm();
JvmProvider& jvmInstallerProgram();

#endif
