// GetParameters: the control file "kiv.control" and the launch parameters.
//
// The reader works on the caller's buffers only and never writes past the
// capacity that each of them has (GetParameters::ParamCapacity): lines of
// any length are read whole, and a value longer than its buffer is cut and
// the cut is traced, so the package's file is never rejected for it.
#include "config/getparam.h"
#include "base/clib.h"
#include "base/codepage.h"

#include "base/fexists.h"
#include "base/strbuf.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char KivControlFilename[] = "kiv.control";
static const char TempControlFilename[] = "__kiv.control";
static const char TraceFilename[] = "jinstall.log";
static const char ErrorsFilename[] = "errors.log";
static const char TempTraceFilename[] = "jinstall.sem";

static const char DefaultLoaderClasspath[] = ".;install.jar";
static const char DefaultVersion[] = "1.4";
static const char DefaultJvm[] = "JRE";
static const char OldDefaultJreFilename[] = "jre.exe";
static const char OldDefaultJrewFilename[] = "jrew.exe";
static const char NewDefaultJreFilename[] = "java.exe";
static const char NewDefaultJrewFilename[] = "javaw.exe";

static const char RequiredVersionField[] = "jvmRequiredVersion";
static const char MinVersionField[] = "jvmMinVersion";
static const char MaxVersionField[] = "jvmMaxVersion";
static const char JvmVersionField[] = "jvmVersion";
static const char JvmTypeField[] = "jvmName";
static const char JvmNameField[] = "jvmCommandName";
static const char JvmInstallerTypeField[] = "jvmInstallerType";
static const char JvmSelfExtractorField[] = "jvmSelfExtractor";
static const char JvmInstallerBinaryField[] = "jvmInstallerBinary";
static const char JvmInstallerCommandField[] = "jvmInstallerCommand";
static const char PredefinedJvmInstallDir[] = "predefinedJvmInstallDir";
static const char JvmHomeDirField[] = "jvmHomeDir";
static const char JvmExtraSwitchesField[] = "jvmExtraParameters";
static const char ClasspathSwitchField[] = "jvmClasspathSwitch";
static const char ClasspathField[] = "loaderClasspath";
static const char InstallParametersField[] = "loaderJavaCommand";
static const char SystemSecurityField[] = "systemSecurityPolicyFilename";
static const char UserSecurityField[] = "userSecurityPolicyFilename";
static const char IdentityDbField[] = "keystoreFilename";
static const char AppletUrlField[] = "appletUrl";
static const char SearchForJvmField[] = "searchForJvm";

// A read takes at most 998 characters; a longer line is put together from
// several reads. The line buffer holds the longest key, its separator and
// the largest value, so only a value too long for any buffer is cut here.
enum { ReadBufferSize = 1001, ReadLimit = 999, LineBufferSize = 5101 };

enum Post { PostNone, PostDirectory, PostSwitches };

struct ParamKey {
    const char* key;
    int slot;  // position among the 21 value buffers, 0-based
    size_t capacity;
    Post post;
};

// In the order the keys are tested; no key is the beginning of another.
static const ParamKey ParamKeys[] = {
    {RequiredVersionField, 0, GetParameters::RequiredVersionSize, PostNone},
    {MinVersionField, 1, GetParameters::MinVersionSize, PostNone},
    {MaxVersionField, 2, GetParameters::MaxVersionSize, PostNone},
    {JvmVersionField, 3, GetParameters::JvmVersionSize, PostNone},
    {JvmTypeField, 4, GetParameters::JvmNameSize, PostNone},
    {JvmNameField, 5, GetParameters::JvmCommandNameSize, PostNone},
    {JvmExtraSwitchesField, 12, GetParameters::JvmExtraParametersSize, PostSwitches},
    {ClasspathSwitchField, 13, GetParameters::JvmClasspathSwitchSize, PostNone},
    {InstallParametersField, 15, GetParameters::LoaderJavaCommandSize, PostNone},
    {ClasspathField, 14, GetParameters::LoaderClasspathSize, PostNone},
    {JvmInstallerTypeField, 6, GetParameters::JvmInstallerTypeSize, PostNone},
    {JvmSelfExtractorField, 7, GetParameters::JvmSelfExtractorSize, PostNone},
    {JvmInstallerBinaryField, 8, GetParameters::JvmInstallerBinarySize, PostNone},
    {JvmInstallerCommandField, 9, GetParameters::JvmInstallerCommandSize, PostNone},
    {PredefinedJvmInstallDir, 10, GetParameters::PredefinedJvmInstallDirSize, PostDirectory},
    {JvmHomeDirField, 11, GetParameters::JvmHomeDirSize, PostNone},
    {SystemSecurityField, 16, GetParameters::SystemSecurityPolicySize, PostNone},
    {UserSecurityField, 17, GetParameters::UserSecurityPolicySize, PostNone},
    {IdentityDbField, 18, GetParameters::KeystoreFilenameSize, PostNone},
    {AppletUrlField, 19, GetParameters::AppletUrlSize, PostNone},
    {SearchForJvmField, 20, GetParameters::SearchForJvmSize, PostNone},
};
enum { ParamCount = 21 };

GetParameters::GetParameters() : hwnd(nullptr) {}

bool GetParameters::getParameters(
    char* jvmRequiredVersion, char* jvmMinVersion, char* jvmMaxVersion, char* jvmVersion,
    char* jvmName, char* jvmCommandName, char* jvmInstallerType, char* jvmSelfExtractor,
    char* jvmInstallerBinary, char* jvmInstallerCommand, char* predefinedJvmInstallDir,
    char* jvmHomeDir, char* jvmExtraParameters, char* jvmClasspathSwitch,
    char* loaderClasspath, char* loaderJavaCommand, char* systemSecurityPolicyFilename,
    char* userSecurityPolicyFilename, char* keystoreFilename, char* appletUrl,
    char* searchForJvm, char* controlFilename) {
    copyText(controlFilename, ControlFilenameSize, KivControlFilename);
    if (!convertLineEndings(controlFilename)) return false;
    if (!parseParameters(jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmVersion, jvmName,
                         jvmCommandName, jvmInstallerType, jvmSelfExtractor,
                         jvmInstallerBinary, jvmInstallerCommand, predefinedJvmInstallDir,
                         jvmHomeDir, jvmExtraParameters, jvmClasspathSwitch, loaderClasspath,
                         loaderJavaCommand, systemSecurityPolicyFilename,
                         userSecurityPolicyFilename, keystoreFilename, appletUrl, searchForJvm,
                         controlFilename))
        return false;

    // The command name, three versions and the words around them.
    char summary[JvmCommandNameSize + 3 * RequiredVersionSize + 64];
    if (jvmRequiredVersion[0])
        formatText(summary, sizeof summary, "Valid version of %s: %s", jvmCommandName,
                   jvmRequiredVersion);
    else
        formatText(summary, sizeof summary, "Valid versions of %s: %s through %s",
                   jvmCommandName, jvmMinVersion, jvmMaxVersion);
    traceMessage(TraceFilename, summary);
    return true;
}

bool GetParameters::convertLineEndings(const char* path) {
    static const char OpenFailed[] = "Unable to open kiv.control";
    static const char ConvertFailed[] = "Unable to convert line endings for kiv.control";

    FILE* input = fopen(path, "rt");
    if (!input) {
        logMessage(ErrorsFilename, OpenFailed);
        showError(OpenFailed);
        return false;
    }
    FILE* output = fopen(TempControlFilename, "wt");
    if (!output) {
        fclose(input);
        logMessage(ErrorsFilename, ConvertFailed);
        showError(ConvertFailed);
        return false;
    }
    // Text mode reads CR LF as LF and writes LF as CR LF again; any other
    // carriage return is dropped.
    int c;
    while ((c = fgetc(input)) != EOF) {
        if (c != '\r') fputc(c, output);
    }
    bool complete = !ferror(input) && !ferror(output);
    fclose(input);
    if (fclose(output) != 0) complete = false;
    if (!complete) {
        // A half-written copy must not replace the package's file.
        remove(TempControlFilename);
        logMessage(ErrorsFilename, ConvertFailed);
        showError(ConvertFailed);
        return false;
    }
    remove(path);
    if (rename(TempControlFilename, path) != 0) {
        if (fexists(path)) {
            // The original could not be replaced (it may be read-only); it
            // is read as it is, and no temporary copy is left behind.
            traceMessage(TraceFilename, "control file kept as it was:", path);
            remove(TempControlFilename);
        } else if (copyFile(TempControlFilename, path)) {
            // The original is gone but the new copy could not be renamed
            // (held open by a scanner, say): it is copied into place.
            remove(TempControlFilename);
        } else {
            // The rewritten copy is the only one left: it stays.
            logAndTraceMessage(ErrorsFilename, TraceFilename, "control file left as",
                               TempControlFilename);
        }
    }
    return true;
}

// Reads one line of any length into line (capacity LineBufferSize), without
// its line feed. Reads of at most 998 characters are joined until the line
// feed; what does not fit in the line buffer is skipped and reported through
// cut. False at the end of the file.
static bool readLine(FILE* file, char* line, bool* cut) {
    char chunk[ReadBufferSize];
    bool any = false;
    line[0] = '\0';
    *cut = false;
    while (fgets(chunk, ReadLimit, file)) {
        any = true;
        size_t length = strlen(chunk);
        bool end = length > 0 && chunk[length - 1] == '\n';
        if (end) chunk[length - 1] = '\0';
        if (!*cut && !appendText(line, LineBufferSize, chunk)) *cut = true;
        if (end) break;
    }
    return any;
}

bool GetParameters::parseParameters(
    char* jvmRequiredVersion, char* jvmMinVersion, char* jvmMaxVersion, char* jvmVersion,
    char* jvmName, char* jvmCommandName, char* jvmInstallerType, char* jvmSelfExtractor,
    char* jvmInstallerBinary, char* jvmInstallerCommand, char* predefinedJvmInstallDir,
    char* jvmHomeDir, char* jvmExtraParameters, char* jvmClasspathSwitch,
    char* loaderClasspath, char* loaderJavaCommand, char* systemSecurityPolicyFilename,
    char* userSecurityPolicyFilename, char* keystoreFilename, char* appletUrl,
    char* searchForJvm, char* controlFilename) {
    char* values[ParamCount] = {
        jvmRequiredVersion, jvmMinVersion, jvmMaxVersion, jvmVersion, jvmName,
        jvmCommandName, jvmInstallerType, jvmSelfExtractor, jvmInstallerBinary,
        jvmInstallerCommand, predefinedJvmInstallDir, jvmHomeDir, jvmExtraParameters,
        jvmClasspathSwitch, loaderClasspath, loaderJavaCommand, systemSecurityPolicyFilename,
        userSecurityPolicyFilename, keystoreFilename, appletUrl, searchForJvm};
    for (int i = 0; i < ParamCount; ++i) values[i][0] = '\0';

    FILE* file = fopen(controlFilename, "rt");
    if (!file) {
        logAndTraceMessage(ErrorsFilename, TraceFilename, "Unable to open file", controlFilename);
        showError("Unable to open control file");
        return false;
    }

    char* line = (char*)malloc(LineBufferSize);
    if (!line) {
        fclose(file);
        logAndTraceMessage(ErrorsFilename, TraceFilename, "Unable to read file", controlFilename);
        showError("Unable to open control file");
        return false;
    }
    bool lineCut;
    while (readLine(file, line, &lineCut)) {
        for (const ParamKey& param : ParamKeys) {
            size_t keyLength = strlen(param.key);
            if (strncmp(line, param.key, keyLength) != 0) continue;
            // The value starts after the key and one separator character; a
            // line holding the key alone gives an empty value.
            const char* value = line[keyLength] ? line + keyLength + 1 : line + keyLength;
            char* target = values[param.slot];
            if (!copyText(target, param.capacity, value) || lineCut)
                traceMessage(TraceFilename, "control file value cut:", param.key);
            fromLegacyCodePage(target, param.capacity);
            if (param.post == PostDirectory) unescapeDirectory(target);
            else if (param.post == PostSwitches && target[0]) removeExtraBackSlashes(target);
            traceMessage(TraceFilename, param.key, target);
            break;
        }
    }
    free(line);
    fclose(file);
    return verifyParameters(jvmRequiredVersion, jvmMinVersion, jvmVersion, jvmName,
                            jvmCommandName, loaderClasspath);
}

void GetParameters::unescapeDirectory(char* text) {
    char* out = text;
    for (const char* in = text; *in; ++in) {
        if (*in == '/') {
            *out++ = '\\';
        } else if (*in == '\\' && (in[1] == ':' || in[1] == '\\')) {
            ++in;  // drop the escape, keep what it escapes
            *out++ = *in;
        } else {
            *out++ = *in;
        }
    }
    *out = '\0';
}

void GetParameters::removeExtraBackSlashes(char* text) {
    traceMessage(TraceFilename, "initial jvm switches for installer", text);
    size_t length = strlen(text);
    char next = '\0';  // the character now following position i
    for (size_t i = length; i-- > 0;) {
        if (text[i] == '\\' && !isfilenameChar(next)) {
            traceMessage(TraceFilename, "  before extra back slash removed", text);
            memmove(text + i, text + i + 1, strlen(text + i + 1) + 1);
            traceMessage(TraceFilename, "  after extra back slash removed", text);
        } else {
            next = text[i];
        }
    }
    traceMessage(TraceFilename, "final jvm switches for installer", text);
}

bool GetParameters::isfilenameChar(char c) {
    switch (c) {
    case '\\': case '/': case ':': case '*': case '?':
    case '"': case '<': case '>': case '|':
        return false;
    default:
        return true;
    }
}

// True when the first occurrence of extension in name is its last four
// characters.
static bool endsWithExtension(const char* name, const char* extension) {
    const char* found = strstr(name, extension);
    size_t length = strlen(name);
    return found && length >= 4 && found == name + length - 4;
}

bool GetParameters::verifyParameters(char* jvmRequiredVersion, char* jvmMinVersion,
                                     char* jvmVersion, char* jvmName, char* jvmCommandName,
                                     char* loaderClasspath) {
    if (!loaderClasspath[0]) copyText(loaderClasspath, LoaderClasspathSize, DefaultLoaderClasspath);
    if (!jvmRequiredVersion[0] && !jvmMinVersion[0]) {
        copyText(jvmRequiredVersion, RequiredVersionSize, jvmVersion);
        if (!jvmRequiredVersion[0])
            copyText(jvmRequiredVersion, RequiredVersionSize, DefaultVersion);
    }
    if (!jvmVersion[0]) copyText(jvmVersion, JvmVersionSize, jvmRequiredVersion);
    if (!jvmName[0]) copyText(jvmName, JvmNameSize, DefaultJvm);
    if (!jvmCommandName[0]) copyText(jvmCommandName, JvmCommandNameSize, OldDefaultJreFilename);

    char name[JvmCommandNameSize];
    copyText(name, jvmCommandName);
    lowerText(name);
    if (!endsWithExtension(name, ".exe") && !endsWithExtension(name, ".bat") &&
        !endsWithExtension(name, ".com")) {
        char* dot = strchr(name, '.');
        if (dot) *dot = '\0';
        // A name as long as the buffer gives way to its extension.
        size_t room = sizeof name - 1 - strlen(".exe");
        if (strlen(name) > room) {
            name[room] = '\0';
            traceMessage(TraceFilename, "jvm command name cut:", name);
        }
        appendText(name, ".exe");
    }
    // The windowless JVM, unless the user switched tracing on and wants to
    // see the console one.
    bool userTracing = fexists(TraceFilename) && !fexists(TempTraceFilename);
    if (!userTracing) {
        if (strncmp(name, OldDefaultJreFilename, strlen(OldDefaultJreFilename)) == 0)
            copyText(name, OldDefaultJrewFilename);
        else if (strncmp(name, NewDefaultJreFilename, strlen(NewDefaultJreFilename)) == 0)
            copyText(name, NewDefaultJrewFilename);
    }
    copyText(jvmCommandName, JvmCommandNameSize, name);
    return true;
}
