// The English texts for the user. The texts that boxes showed before they
// had names keep their wording to the byte (their %s became %1 and %2).
#include "base/usertext.h"
#include "base/strbuf.h"

#include <string.h>

namespace {

const UserPattern English[] = {
    {TextDiskSpace,
     "Are the destination or temporary directories out of disk space?\r\r"
     "    See errors.log for other possible causes."},
    {TextOtherCauses,
     "Other possible causes for errors:\n"
     "    * Read/write access rights to the 'temp' and installation directories?\n"
     "    * OS need to be patched to run Java apps?\n"
     "    * Anti-virus software installed that won't permit unknonwn executable or JAR files "
     "to run?\n"
     "    * Does your system export the display?"},
    {TextWizardNotStarted,
     "Unable to start the install wizard.\r\rIs there a \"java\" command in the path that "
     "doesn't start the JRE?\r\rIf there is, remove it and try the installer again."},
    {TextUnableToInstall, "Unable to install application."},
    {TextJvmNotFound, "The correct version of the %1 was not found on your system."},
    {TextInstallJvmAndRestart, "Please install %1 %2 and then restart this installation program."},
    {TextUnableToFindJvm, "Unable to find %1 %2 on your system."},
    {TextInstallTheJvm, "Please install the JVM and re-start this installer."},
    {TextUnableToInstallJvm, "Unable to install %1 %2."},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 or a later version"},
    {TextControlFileNotOpened, "Unable to open kiv.control"},
    {TextControlFileNotOpenedForReading, "Unable to open control file"},
    {TextControlFileNotRead, "Unable to read kiv.control"},
    {TextErrorsLogNotSaved, "Unable to save errors.log"},
    {TextTryWritableDrive, "Try installing from a non-write protected drive."},
    {TextAlreadyRunning,
     "Another installer is already running in this directory. This one installs nothing; "
     "wait until the other has finished."},
    {TextCaption, "Tallybox Installer"},
    {TextErrorCaption, "%1: Error"},
    {TextSeeLogs, "\n\nSee errors.log and jinstall.log files for details."},
    {TextMainClassMissing, "The main class %1 of the install wizard was not found."},
    {TextWizardArchiveMissing, "The install wizard's archive %1 is missing."},
    {TextWizardEndedWithoutStarting, "The install wizard ended without starting."},
    {TextDownloadFailed, "The Java runtime could not be downloaded."},
    {TextDownloadAddress, "The download address is %1."},
    {TextPackageFaulty, "The package is faulty: %1"},
    {TextDownloading, "Downloading the Java runtime..."},
    {TextExpanding, "Expanding the Java runtime..."},
    {TextProgressOf, "%1 of %2"},
    {TextProvidedJvmRefused,
     "The Java runtime that was provided reports version %1, but this installation needs %2."},
    {TextJvmHomeMissing,
     "The Java runtime's folder %1 is not in what was provided, which holds %2."},
    {TextJvmFolderInTheWay,
     "The folder %1 is in the way of the Java runtime: it holds %2, which the installer did "
     "not put there."},
    {TextExpansionFailed, "The Java runtime was downloaded but could not be expanded."},
    {TextElevationDeclined,
     "%1 needs administrator rights to install the Java runtime, and they were not given."},
    {TextUnpacking, "Unpacking the installer..."},
    {TextLookingForJvm, "Looking for an installed Java runtime..."},
    {TextCheckingJvm, "Checking Java runtime %1 of %2..."},
    {TextInstallingJvm, "Installing the Java runtime..."},
    {TextStartingWizard, "Starting the install wizard..."},
    {TextRenamedTo, "Renamed to"},
};
static_assert(sizeof English / sizeof English[0] == UserTextCount, "every text in English");

}  // namespace

const char* englishPattern(UserText name) {
    for (const UserPattern& pattern : English)
        if (pattern.name == name) return pattern.text;
    return "";
}

bool fillPattern(char* out, size_t cap, const char* pattern, const char* const* values,
                 size_t count) {
    if (!cap) return false;
    out[0] = '\0';
    bool whole = true;
    while (*pattern) {
        size_t plain = 0;
        while (pattern[plain] && !(pattern[plain] == '%' && pattern[plain + 1] >= '1' &&
                                   pattern[plain + 1] <= '9'))
            ++plain;
        size_t used = strlen(out);
        if (plain && !copyTextN(out + used, cap - used, pattern, plain)) whole = false;
        pattern += plain;
        if (!*pattern) break;
        size_t index = (size_t)(pattern[1] - '1');
        const char* value = index < count && values[index] ? values[index] : "";
        if (!appendText(out, cap, value)) whole = false;
        pattern += 2;
    }
    return whole;
}

bool englishText(char* out, size_t cap, UserText name, const char* first, const char* second) {
    const char* const values[] = {first, second};
    return fillPattern(out, cap, englishPattern(name), values, 2);
}

unsigned placeholdersOf(const char* pattern) {
    unsigned found = 0;
    for (const char* c = pattern; *c; ++c)
        if (c[0] == '%' && c[1] >= '1' && c[1] <= '9') found |= 1u << (c[1] - '1');
    return found;
}

static void setValue(UserLines::Value& value, const NestedText& nested) {
    value.name = nested.name;
    copyText(value.text, UserLines::ValueSize, nested.first ? nested.first : "");
    copyText(value.second, UserLines::ValueSize, nested.second ? nested.second : "");
}

void UserLines::add(UserText name, const char* first, const char* second, const char* joint) {
    add(name, first, NestedText{UserTextCount, second, nullptr}, joint);
}

void UserLines::add(UserText name, const char* first, const NestedText& second,
                    const char* joint) {
    if (count == MaxParts) return;
    Part& part = parts[count++];
    part.name = name;
    part.joint = joint ? joint : "";
    setValue(part.values[0], NestedText{UserTextCount, first, nullptr});
    setValue(part.values[1], second);
}

bool UserLines::Value::english(char* out, size_t cap) const {
    if (name == UserTextCount) return copyText(out, cap, text);
    return englishText(out, cap, name, text, second);
}

bool UserLines::english(char* out, size_t cap) const {
    if (!cap) return false;
    out[0] = '\0';
    bool whole = true;
    for (size_t i = 0; i < count; ++i) {
        const Part& part = parts[i];
        if (!appendText(out, cap, part.joint)) whole = false;
        char values[2][2 * ValueSize];
        for (int v = 0; v < 2; ++v)
            if (!part.values[v].english(values[v], sizeof values[v])) whole = false;
        size_t used = strlen(out);
        if (!englishText(out + used, cap - used, part.name, values[0], values[1]))
            whole = false;
    }
    return whole;
}
