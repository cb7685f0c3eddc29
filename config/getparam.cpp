// GetParameters: the control file "kiv.control" and the launch parameters.
//
// The reader fills the fields of ControlSettings and never writes past the
// capacity of any of them: lines of any length are read whole, and a value
// longer than its field is cut and the cut is traced, so the package's file
// is never rejected for it.
//
// The file is the package author's and is only ever read: its bytes are
// taken as they are (a Ctrl-Z in a comment is a character, not the end),
// CR LF, LF and a lone CR each end a line, and a UTF-8 byte-order mark does
// not hide the first key. A file with a UTF-16 byte-order mark (a "Unicode"
// text, as PowerShell 5's ">" writes it) is read as UTF-16, each line in the
// process's code page (base/textline). A file that cannot be read to its end
// is not used.
#include "config/getparam.h"
#include "base/disknames.h"
#include "config/controlkeys.h"
#include "base/report.h"
#include "base/codepage.h"

#include "base/fexists.h"
#include "base/logaddress.h"
#include "base/textline.h"
#include "base/strbuf.h"

#include <ctype.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char DefaultVersion[] = "1.4";
static const char DefaultJvm[] = "JRE";

// A line is read whole up to the longest key, its separator and the largest
// value, so only a value too long for any field is cut here.
enum { LineBufferSize = 5101 };
static_assert(LineBufferSize > sizeof "systemSecurityPolicyFilename" + PathBufferSize,
              "a control-file line holds its key, a separator and the largest value");

LineRule controlFileLines() { return authoredLines(LineBufferSize - 1); }

bool failureByExitCode(const ControlSettings& settings) {
    return _stricmp(settings.reportFailureByExitCode, "true") == 0;
}

bool GetParameters::getParameters(ControlSettings& settings) {
    if (!isReadable(ControlFile)) return false;
    if (!parseParameters(settings, ControlFile)) return false;

    // The command name, three versions and the words around them.
    char summary[sizeof settings.jvmCommandName + 3 * VersionBufferSize + 64];
    if (settings.jvmRequiredVersion[0])
        formatText(summary, sizeof summary, "Valid version of %s: %s", settings.jvmCommandName,
                   settings.jvmRequiredVersion);
    else
        formatText(summary, sizeof summary, "Valid versions of %s: %s through %s",
                   settings.jvmCommandName, settings.jvmMinVersion, settings.jvmMaxVersion);
    trace(summary);
    return true;
}

bool GetParameters::isReadable(const char* path) {
    LineReader file(path, controlFileLines());
    if (file.isOpen()) return true;
    logError(englishPattern(TextControlFileNotOpened));
    failure = TextControlFileNotOpened;
    return false;
}

bool GetParameters::parseParameters(ControlSettings& settings, const char* controlFilename) {
    settings.clear();
    LineReader file(controlFilename, controlFileLines());
    if (!file.isOpen()) {
        reportError("Unable to open file", controlFilename);
        failure = TextControlFileNotOpenedForReading;
        return false;
    }

    char* line = (char*)malloc(LineBufferSize);
    if (!line) {
        reportError("Unable to read file", controlFilename);
        failure = TextControlFileNotOpenedForReading;
        return false;
    }
    bool lineWhole;
    bool registrySwitchRead = false;
    while (file.read(line, &lineWhole)) {
        if (startsWith(line, ConfigureWinRegistryKey)) {
            if (!registrySwitchRead) readRegistrySwitch(settings, line);
            registrySwitchRead = true;
            continue;
        }
        for (const ControlKey& param : ControlKeys) {
            if (!param.capacity) continue;
            size_t keyLength = strlen(param.name);
            if (strncmp(line, param.name, keyLength) != 0) continue;
            // The value starts after the key and one separator character; a
            // line holding the key alone gives an empty value.
            const char* value = line[keyLength] ? line + keyLength + 1 : line + keyLength;
            char* target = reinterpret_cast<char*>(&settings) + param.offset;
            if (!copyText(target, param.capacity, value) || !lineWhole)
                trace("control file value cut:", param.name);
            fromLegacyCodePage(target, param.capacity);
            if (param.post == PostDirectory) unescapeDirectory(target);
            else if (param.post == PostSwitches && target[0]) removeExtraBackSlashes(target);
            else if (param.post == PostNumber) trimBlanks(target);
            if (param.kind == UrlValue) {
                // An address's user and password stay out of the trace.
                char shown[PathBufferSize];
                addressForLog(target, shown, sizeof shown);
                trace(param.name, shown);
            } else {
                trace(param.name, target);
            }
            break;
        }
    }
    free(line);
    if (file.failed()) {
        // Values after the failed read are unknown: the file is not used.
        reportError(englishPattern(TextControlFileNotRead), controlFilename);
        failure = TextControlFileNotRead;
        return false;
    }
    return verifyParameters(settings);
}

// The first line with the key decides, unlike the other keys: its value
// after the key and one separator character, "true" or "yes" in any case,
// switches the registration on, any other value off.
void GetParameters::readRegistrySwitch(ControlSettings& settings, const char* line) {
    trace(line);
    size_t keyLength = strlen(ConfigureWinRegistryKey);
    const char* value = strlen(line) > keyLength + 1 ? line + keyLength + 1 : "";
    settings.configureWinRegistry = _stricmp(value, "true") == 0 || _stricmp(value, "yes") == 0;
    trace(ConfigureWinRegistryKey, settings.configureWinRegistry);
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
    trace("initial jvm switches for installer", text);
    size_t length = strlen(text);
    char next = '\0';  // the character now following position i
    for (size_t i = length; i-- > 0;) {
        if (text[i] == '\\' && !isfilenameChar(next)) {
            trace("  before extra back slash removed", text);
            memmove(text + i, text + i + 1, strlen(text + i + 1) + 1);
            trace("  after extra back slash removed", text);
        } else {
            next = text[i];
        }
    }
    trace("final jvm switches for installer", text);
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

bool GetParameters::verifyParameters(ControlSettings& settings) {
    if (!settings.loaderClasspath[0]) copyText(settings.loaderClasspath, DefaultClasspath);
    if (!settings.jvmRequiredVersion[0] && !settings.jvmMinVersion[0]) {
        copyText(settings.jvmRequiredVersion, settings.jvmVersion);
        if (!settings.jvmRequiredVersion[0])
            copyText(settings.jvmRequiredVersion, DefaultVersion);
    }
    if (!settings.jvmVersion[0]) copyText(settings.jvmVersion, settings.jvmRequiredVersion);
    if (!settings.jvmName[0]) copyText(settings.jvmName, DefaultJvm);
    if (!settings.jvmCommandName[0]) copyText(settings.jvmCommandName, JreExe);

    char name[sizeof settings.jvmCommandName];
    copyText(name, settings.jvmCommandName);
    lowerText(name);
    if (!endsWithExtension(name, ExeExtension) && !endsWithExtension(name, ".bat") &&
        !endsWithExtension(name, ".com")) {
        char* dot = strchr(name, '.');
        if (dot) *dot = '\0';
        // A name as long as the buffer gives way to its extension.
        size_t room = sizeof name - 1 - strlen(ExeExtension);
        if (strlen(name) > room) {
            name[room] = '\0';
            trace("jvm command name cut:", name);
        }
        appendText(name, ExeExtension);
    }
    // The windowless JVM, unless the user switched tracing on and wants to
    // see the console one. This is the first of three rules that choose
    // javaw: here "jinstall.log" without "jinstall.sem" (the user's own
    // trace) keeps the console program; the version test (jvmprobe.cpp) asks
    // only whether the trace file exists, and the expanded JVM's program
    // (jvm/stagedjvm.cpp) only whether "jinstall.sem" does. Each rule answers a
    // different question at a different time, so they are kept as they are.
    if (!userTracing) {
        if (strncmp(name, JreExe, strlen(JreExe)) == 0)
            copyText(name, JrewExe);
        else if (strncmp(name, JavaExe, strlen(JavaExe)) == 0)
            copyText(name, JavawExe);
    }
    copyText(settings.jvmCommandName, name);

    // A time limit that is no number falls back to the default, and says so.
    const char* seconds = settings.jvmTestTimeout;
    if (seconds[0] && (strspn(seconds, "0123456789") != strlen(seconds) ||
                       strspn(seconds, "0") == strlen(seconds))) {
        char text[sizeof settings.jvmTestTimeout + 100];
        formatText(text, sizeof text,
                   "jvmTestTimeout \"%s\" is no number of seconds above zero; the default, "
                   "%u seconds, is taken",
                   seconds, (unsigned)DefaultJvmTestSeconds);
        trace(text);
    }
    return true;
}

void GetParameters::trimBlanks(char* text) {
    size_t lead = strspn(text, " \t");
    size_t length = strlen(text);
    while (length > lead && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
    memmove(text, text + lead, length - lead);
    text[length - lead] = '\0';
}
