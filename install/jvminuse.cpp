// JvmInUse: the JVM the wizard runs on, and "native.properties".
//
// The home written is that of the program whenever one is set, so that the
// wizard is never told an empty or stale home after a JVM installer program
// has run or an existing JVM directory was taken. The wizard reads what it
// finds: the file is complete or it is not there, and the launch does not
// go ahead without it.
#include "install/jvminuse.h"
#include "base/report.h"
#include "base/strbuf.h"
#include "base/clib.h"
#include "base/codepage.h"

#include <stdio.h>
#include <string.h>

static const char NativePropertiesFilename[] = "native.properties";
static const char JvmHomeDirProperty[] = "nativeJvmHomeDir";
static const char JvmInstalledProperty[] = "nativeJvmInstalled";
static const char JvmInstalledInTempProperty[] = "nativeJvmInstalledInTemp";
static const char ConfigureRegistryProperty[] = "configureWinRegistry";
static const char AppDirVariable[] = "[$AppDir]";

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
    FILE* file = fopen(NativePropertiesFilename, "wt");
    if (!file) {
        reportError("Unable to create", NativePropertiesFilename);
        return;
    }
    char slashed[InstallPathSize];
    copyText(slashed, home);
    for (char* c = slashed; *c; ++c)
        if (*c == '\\') *c = '/';
    writeProperty(file, JvmHomeDirProperty, slashed);
    fprintf(file, installed ? "%s=true\n" : "%s=false\n", JvmInstalledProperty);
    if (!installed) {
        fprintf(file, "%s=false\n", JvmInstalledInTempProperty);
    } else if (jvmDir && jvmDir[0]) {
        bool inTemp = strncmp(jvmDir, AppDirVariable, strlen(AppDirVariable)) == 0;
        fprintf(file, inTemp ? "%s=true\n" : "%s=false\n", JvmInstalledInTempProperty);
    }
    fprintf(file, configureRegistry ? "%s=true\n" : "%s=false\n", ConfigureRegistryProperty);
    // The stream keeps the first error of any write; the flush and the close
    // report a disk that filled up under the buffered lines.
    bool complete = fflush(file) == 0 && !ferror(file);
    if (fclose(file) != 0) complete = false;
    if (!complete) {
        // The partial file goes first: its room may be what the log needs.
        remove(NativePropertiesFilename);
        reportError("Unable to write", NativePropertiesFilename);
        return;
    }
    propertiesWritten = true;
}
