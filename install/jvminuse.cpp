// JvmInUse: the JVM the wizard runs on, and "native.properties".
//
// The home written is that of the program whenever one is set, so that the
// wizard is never told an empty or stale home after a JVM installer program
// has run or an existing JVM directory was taken. The wizard reads what it
// finds: the file is complete or it is not there, and the launch does not
// go ahead without it.
#include "install/jvminuse.h"
#include "base/disknames.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/jvmhome.h"
#include "base/codepage.h"

#include <stdio.h>
#include <string.h>


JvmWanted jvmWantedBy(const ControlSettings& settings, bool tracing) {
    return JvmWanted{settings.jvmRequiredVersion, settings.jvmMinVersion, settings.jvmMaxVersion,
                     settings.jvmCommandName, testSecondsOf(settings.jvmTestTimeout), tracing};
}

void JvmInUse::take(const JvmFound& jvm) {
    static_assert(sizeof provedHome == sizeof jvm.home, "the home the JVM classes give");
    copyText(program, jvm.program);
    copyText(provedHome, jvm.home);
}

void JvmInUse::takeHome(bool traced) {
    char found[InstallPathSize];
    if (provedHome[0]) copyText(found, provedHome);
    else getJavaHomeDirectory(program, found, InstallPathSize);
    if (!traced && strcmp(found, home) == 0) return;
    copyText(home, found);
    trace("jvm home dir", home);
}

void JvmInUse::tellWizard(bool installed, const char* jvmDir, bool configureRegistry) {
    if (program[0]) takeHome(false);

    propertiesWritten = false;
    FILE* file = fopen(NativePropertiesFile, "wt");
    if (!file) {
        reportError("Unable to create", NativePropertiesFile);
        return;
    }
    char slashed[InstallPathSize];
    copyText(slashed, home);
    for (char* c = slashed; *c; ++c)
        if (*c == '\\') *c = '/';
    writeProperty(file, NativeJvmHomeDirKey, slashed);
    fprintf(file, installed ? "%s=true\n" : "%s=false\n", NativeJvmInstalledKey);
    if (!installed) {
        fprintf(file, "%s=false\n", NativeJvmInstalledInTempKey);
    } else if (jvmDir && jvmDir[0]) {
        bool inTemp = strncmp(jvmDir, AppDirVariable, strlen(AppDirVariable)) == 0;
        fprintf(file, inTemp ? "%s=true\n" : "%s=false\n", NativeJvmInstalledInTempKey);
    }
    fprintf(file, configureRegistry ? "%s=true\n" : "%s=false\n", ConfigureWinRegistryKey);
    // The stream keeps the first error of any write; the flush and the close
    // report a disk that filled up under the buffered lines.
    bool complete = fflush(file) == 0 && !ferror(file);
    if (fclose(file) != 0) complete = false;
    if (!complete) {
        // The partial file goes first: its room may be what the log needs.
        remove(NativePropertiesFile);
        reportError("Unable to write", NativePropertiesFile);
        return;
    }
    propertiesWritten = true;
}
