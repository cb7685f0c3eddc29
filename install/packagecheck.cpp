// The package check: the control file's lines, its values and the files it
// names, each mistake one finding.
//
// The lines are taken as the parameter reader takes them (config/getparam):
// a line names a key when it begins, in its first column, with the key's
// name; the one character after the name is the separator, and everything
// after it, blanks included, is the value. Every other line is ignored by a
// run, so a line that looks like a setting but names no key is an error
// here: the author meant something that a run will silently not do.
#include "install/packagecheck.h"
#include "base/disknames.h"
#include "base/codepage.h"
#include "base/logaddress.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"
#include "base/textline.h"
#include "config/controlkeys.h"
#include "config/getparam.h"
#include "config/settings.h"
#include "jvm/jvmdownload.h"
#include "jvm/jvmversion.h"

#include <windows.h>
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


unsigned wordDistance(const char* first, const char* second) {
    enum { Longest = 64 };
    size_t m = strlen(first), n = strlen(second);
    if (m > Longest || n > Longest) return (unsigned)(m > n ? m : n);
    // Three rows of the table of distances between the words' beginnings.
    unsigned before[Longest + 1], previous[Longest + 1], current[Longest + 1];
    for (size_t j = 0; j <= n; ++j) previous[j] = (unsigned)j;
    before[0] = 0;
    for (size_t i = 1; i <= m; ++i) {
        current[0] = (unsigned)i;
        for (size_t j = 1; j <= n; ++j) {
            char a = (char)tolower((unsigned char)first[i - 1]);
            char b = (char)tolower((unsigned char)second[j - 1]);
            unsigned best = previous[j - 1] + (a == b ? 0 : 1);
            if (previous[j] + 1 < best) best = previous[j] + 1;
            if (current[j - 1] + 1 < best) best = current[j - 1] + 1;
            if (i > 1 && j > 1 && a == tolower((unsigned char)second[j - 2]) &&
                b == tolower((unsigned char)first[i - 2]) && before[j - 2] + 1 < best)
                best = before[j - 2] + 1;
            current[j] = best;
        }
        memcpy(before, previous, sizeof before);
        memcpy(previous, current, sizeof previous);
    }
    return previous[n];
}

const char* likelyName(const char* word, const char* const* names, size_t count) {
    const char* best = nullptr;
    unsigned bestDistance = 0;
    for (size_t i = 0; i < count; ++i) {
        unsigned distance = wordDistance(word, names[i]);
        // A slip: at most one letter in four of the name, and four at most.
        if (distance * 4 > strlen(names[i]) || distance > 4) continue;
        if (!best || distance < bestDistance) {
            best = names[i];
            bestDistance = distance;
        }
    }
    return best;
}

namespace {

bool isWordChar(char c) {
    return isalnum((unsigned char)c) || c == '_' || c == '.' || c == '-';
}

bool namesItsRoot(const char* path) {
    return isSeparator(path[0]) || (isalpha((unsigned char)path[0]) && path[1] == ':');
}

bool sameText(const char* a, const char* b) { return _stricmp(a, b) == 0; }

bool knownType(const char* type) {
    return sameText(type, CompressedJvmType) || sameText(type, JvmInstallerProgramType) ||
           sameText(type, DownloadedJvmType);
}

// "=" or ":" after blanks.
bool separatorFollows(const char* text) {
    char next = text[strspn(text, " \t")];
    return next == '=' || next == ':';
}

class Checker {
public:
    Checker(const char* dir, CheckFindings& findings) : dir(dir), findings(findings) {
        for (size_t i = 0; i < ControlKeyCount; ++i) {
            values[i] = nullptr;
            lines[i] = 0;
        }
    }
    ~Checker() {
        for (size_t i = 0; i < ControlKeyCount; ++i) free(values[i]);
    }
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    bool run() {
        if (readControlFile()) {
            checkValues();
            checkInstaller();
            checkWizard();
        }
        return sound;
    }

private:
    void report(bool error, const char* format, ...) __attribute__((format(printf, 3, 4))) {
        char text[2 * PathBufferSize + 400];
        copyText(text, error ? "error: " : "note: ");
        size_t start = strlen(text);
        va_list args;
        va_start(args, format);
        vsnprintf(text + start, sizeof text - start, format, args);
        va_end(args);
        text[sizeof text - 1] = '\0';
        // One finding, one line.
        for (char* c = text; *c; ++c)
            if (*c == '\r' || *c == '\n') *c = ' ';
        if (error) sound = false;
        findings.found(error, text);
    }

    // name in the package directory, unless it names its own root.
    bool inPackage(const char* name, char* path, size_t cap) const {
        if (namesItsRoot(name)) return copyText(path, cap, name);
        return formatText(path, cap, "%s\\%s", dir, name);
    }

    bool present(const char* name) const {
        char path[2 * PathBufferSize];
        if (!inPackage(name, path, sizeof path)) return false;
        for (char* c = path; *c; ++c)
            if (*c == '/') *c = '\\';
        return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    }

    int indexOf(const char* name) const {
        for (size_t i = 0; i < ControlKeyCount; ++i)
            if (strcmp(ControlKeys[i].name, name) == 0) return (int)i;
        return -1;
    }

    // The value a run takes for the key ("" when the file has none).
    const char* value(const char* name) const {
        int index = indexOf(name);
        return index >= 0 && values[index] ? values[index] : "";
    }

    bool readControlFile();
    void readLine(unsigned number, char* line, bool whole);
    void unknownWord(unsigned number, const char* line);
    void checkValues();
    void checkValue(const ControlKey& key, const char* text);
    void checkVersionRange();
    void checkInstaller();
    void needFile(const char* key, const char* what, bool used);
    void checkHomeDir();
    void unusedKeys(const char* type);
    void checkWizard();

    const char* dir;
    CheckFindings& findings;
    bool sound = true;
    char* values[ControlKeyCount];
    unsigned lines[ControlKeyCount];
};

bool Checker::readControlFile() {
    char path[PathBufferSize + 32];
    if (!formatText(path, sizeof path, "%s\\%s", dir, ControlFile)) {
        report(true, "the package directory's name is too long");
        return false;
    }
    LineReader file(path, controlFileLines());
    if (!file.isOpen()) {
        report(true, "%s is missing or cannot be read: a run stops at once", ControlFile);
        return false;
    }
    if (file.encoding() == Utf16LittleEndian || file.encoding() == Utf16BigEndian)
        report(false, "%s is UTF-16 (%s-endian, with a byte-order mark); it is read as such",
               ControlFile, file.encoding() == Utf16LittleEndian ? "little" : "big");
    ScopedText line(ScopedText::allocate(controlFileLines().limit + 1));
    if (!line) {
        report(true, "out of memory");
        return false;
    }
    unsigned number = 0;
    bool whole = true;
    while (file.read(line, &whole)) readLine(++number, line, whole);
    line.reset();
    if (file.failed()) {
        report(true, "%s cannot be read to its end: a run stops at once", ControlFile);
        return false;
    }
    return true;
}

void Checker::readLine(unsigned number, char* line, bool whole) {
    const ControlKey* key = controlKeyOf(line);
    if (!key) {
        unknownWord(number, line);
        return;
    }
    size_t length = strlen(key->name);
    char separator = line[length];
    // The value as a finding shows it: an address without its user and password.
    char shown[PathBufferSize];
    const char* read = line + (separator ? length + 1 : length);
    if (key->kind == UrlValue) {
        addressForLog(read, shown, sizeof shown);
        read = shown;
    }
    if (isWordChar(separator)) {
        // The line begins with a key and goes on with letters: a run takes
        // the key and the rest (from its second letter on) as the value.
        size_t word = length;
        while (isWordChar(line[word])) ++word;
        report(true, "%s line %u: \"%.*s\" is no key; a run reads it as %s with the value \"%s\"",
               ControlFile, number, (int)word, line, key->name, read);
    } else if ((separator == ' ' || separator == '\t') && separatorFollows(line + length + 1)) {
        report(true, "%s line %u: a blank stands between %s and its \"=\": the value a run "
               "reads is \"%s\"", ControlFile, number, key->name, read);
    }
    if (!whole)
        report(true, "%s line %u: the line is longer than %u characters: %s is cut",
               ControlFile, number, (unsigned)controlFileLines().limit, key->name);

    const char* text = separator ? line + length + 1 : line + length;
    int index = (int)(key - ControlKeys);
    // The registry answer is taken from the first line with its key, every
    // other value from the last one.
    bool firstCounts = strcmp(key->name, "configureWinRegistry") == 0;
    if (values[index]) {
        report(false, "%s line %u: %s is given again; line %u counts", ControlFile, number,
               key->name, firstCounts ? lines[index] : number);
        if (firstCounts) return;
        free(values[index]);
    }
    size_t size = strlen(text) + 1;
    size_t room = size * 3 + 1;  // the legacy code page's letters may grow in UTF-8
    values[index] = (char*)malloc(room);
    if (!values[index]) return;
    copyText(values[index], room, text);
    fromLegacyCodePage(values[index], room);
    if (key->post == PostNumber) GetParameters::trimBlanks(values[index]);
    lines[index] = number;
    // A run drops the blanks around a number, an address or a hash.
    if (text[0] && (text[0] == ' ' || text[0] == '\t' || text[size - 2] == ' ' ||
                    text[size - 2] == '\t') && key->post != PostNumber)
        report(false, "%s line %u: the value of %s begins or ends with a blank, which is part "
               "of it", ControlFile, number, key->name);
}

void Checker::unknownWord(unsigned number, const char* line) {
    const char* at = line + strspn(line, " \t");
    size_t word = 0;
    while (isWordChar(at[word])) ++word;
    if (!word || !isalpha((unsigned char)at[0])) return;  // blank, or a comment

    // A known key after blanks: a run ignores the line.
    if (at != line) {
        const ControlKey* key = controlKeyOf(at);
        if (key && !isWordChar(at[strlen(key->name)]))
            report(true, "%s line %u: %s does not begin in the first column; a run ignores "
                   "the line", ControlFile, number, key->name);
        return;
    }
    char name[80];
    if (!copyTextN(name, sizeof name, at, word)) return;
    const char* names[ControlKeyCount];
    for (size_t i = 0; i < ControlKeyCount; ++i) names[i] = ControlKeys[i].name;
    const char* likely = likelyName(name, names, ControlKeyCount);
    bool setting = separatorFollows(at + word);
    if (likely)
        report(true, "%s line %u: unknown key \"%s\" (a run ignores the line); did you mean "
               "\"%s\"?", ControlFile, number, name, likely);
    else if (setting)
        report(true, "%s line %u: unknown key \"%s\"; a run ignores the line",
               ControlFile, number, name);
}

void Checker::checkValues() {
    for (size_t i = 0; i < ControlKeyCount; ++i)
        if (values[i] && values[i][0]) checkValue(ControlKeys[i], values[i]);
    checkVersionRange();
}

bool allDigits(const char* text, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!isdigit((unsigned char)text[i])) return false;
    return count > 0;
}

// Numbers joined by "." or "_", then "-" or "+" parts of letters and digits.
bool plainVersion(const char* text) {
    if (!isdigit((unsigned char)*text)) return false;
    const char* at = text;
    while (isdigit((unsigned char)*at) || ((*at == '.' || *at == '_') && isdigit((unsigned char)at[1])))
        ++at;
    while ((*at == '-' || *at == '+' || *at == '_') && isalnum((unsigned char)at[1])) {
        ++at;
        while (isalnum((unsigned char)*at)) ++at;
    }
    return *at == '\0';
}

void Checker::checkValue(const ControlKey& key, const char* text) {
    switch (key.kind) {
    case AnyValue:
        break;
    case VersionValue:
        if (!strpbrk(text, "0123456789"))
            report(true, "%s \"%s\" is no Java version (such as 1.8, 11 or 17.0.2)", key.name,
                   text);
        else if (!plainVersion(text))
            report(false, "%s \"%s\" holds more than a version: only its numbers count",
                   key.name, text);
        break;
    case InstallerValue: {
        const char* types[] = {CompressedJvmType, JvmInstallerProgramType,
                               DownloadedJvmType};
        for (const char* type : types)
            if (sameText(text, type)) return;
        const char* likely = likelyName(text, types, dimof(types));
        if (likely)
            report(true, "%s \"%s\" is no installer type, so no JVM is ever installed; did you "
                   "mean \"%s\"?", key.name, text, likely);
        else
            report(true, "%s \"%s\" is no installer type (%s, %s or %s), so no JVM is ever "
                   "installed", key.name, text, types[0], types[1], types[2]);
        break;
    }
    case SearchValue:
        if (!sameText(text, "no") && !sameText(text, "none") && !sameText(text, "yes"))
            report(true, "%s \"%s\" is neither yes nor no; a run searches for a JVM", key.name,
                   text);
        break;
    case FlagValue: {
        bool yesNo = strcmp(key.name, "configureWinRegistry") == 0 &&
                     (sameText(text, "yes") || sameText(text, "no"));
        if (!yesNo && !sameText(text, "true") && !sameText(text, "false"))
            report(true, "%s \"%s\" is neither true nor false; a run reads it as false",
                   key.name, text);
        break;
    }
    case SecondsValue: {
        size_t length = strlen(text);  // its blanks dropped, as a run drops them
        if (!allDigits(text, length) || strspn(text, "0") >= length)
            report(true, "%s \"%s\" is no number of seconds above zero; a run takes the "
                   "default, %u seconds", key.name, text, (unsigned)DefaultJvmTestSeconds);
        break;
    }
    case UrlValue: {
        size_t scheme = _strnicmp(text, "https://", 8) == 0  ? 8
                        : _strnicmp(text, "http://", 7) == 0 ? 7
                                                             : 0;
        if (!scheme || !text[scheme] || strpbrk(text, " \t")) {
            char shown[PathBufferSize];
            addressForLog(text, shown, sizeof shown);
            report(true, "%s \"%s\" is no http or https address", key.name, shown);
        }
        break;
    }
    case Sha256Value: {
        char sum[Sha256HexSize];
        if (!normalisedSha256(text, sum))
            report(true, "%s \"%s\" is no SHA-256 sum (64 hexadecimal digits, \"sha256:\" "
                   "before them allowed)", key.name, text);
        break;
    }
    }
}

void Checker::checkVersionRange() {
    const char* low = value("jvmMinVersion");
    const char* high = value("jvmMaxVersion");
    if (low[0] && high[0] && strpbrk(low, "0123456789") && strpbrk(high, "0123456789") &&
        compareWithLimit(low, high) > 0)
        report(true, "jvmMinVersion %s is above jvmMaxVersion %s: no JVM fits", low, high);
}

// The file of key must be in the package: an error when the installer type
// takes it or is misspelt (it may have meant this file's), else a note.
void Checker::needFile(const char* key, const char* what, bool used) {
    const char* name = value(key);
    if (!name[0]) {
        if (used)
            report(true, "jvmInstallerType is %s, but %s names no %s", value("jvmInstallerType"),
                   key, what);
        return;
    }
    if (present(name)) return;
    // The self-extractor is also taken by its last name from the package's
    // top directory.
    if (strcmp(key, "jvmSelfExtractor") == 0) {
        const char* last = name;
        for (const char* c = name; *c; ++c)
            if (isSeparator(*c)) last = c + 1;
        if (present(last)) return;
    }
    // A misspelt type may well have meant this file's.
    const char* type = value("jvmInstallerType");
    bool meant = used || (type[0] && !knownType(type));
    report(meant, "the %s %s (%s) is missing%s", what, name, key, meant ? "" : "; it is not used");
}

void Checker::unusedKeys(const char* type) {
    static const struct {
        const char* key;
        const char* type;
    } uses[] = {
        {"jvmSelfExtractor", CompressedJvmType},
        {"jvmInstallerBinary", JvmInstallerProgramType},
        {"jvmInstallerCommand", JvmInstallerProgramType},
        {"jvmDownloadUrl", DownloadedJvmType},
        {"jvmDownloadSha256", DownloadedJvmType},
    };
    for (const auto& use : uses)
        if (value(use.key)[0] && !sameText(type, use.type))
            report(false, "%s is not used: jvmInstallerType is %s%s%s", use.key,
                   type[0] ? "\"" : "not set", type, type[0] ? "\"" : "");
}

// Every file the package names is looked for, whatever the installer type
// says: a misspelt type must not hide a file missing as well.
void Checker::checkInstaller() {
    const char* type = value("jvmInstallerType");
    unusedKeys(type);
    needFile("jvmSelfExtractor", "self-extractor", sameText(type, CompressedJvmType));
    needFile("jvmInstallerBinary", "JVM installer", sameText(type, JvmInstallerProgramType));
    checkHomeDir();
    if (sameText(type, JvmInstallerProgramType)) {
        if (!value("jvmInstallerCommand")[0])
            report(true, "jvmInstallerType is %s, but jvmInstallerCommand is empty", type);
    } else if (sameText(type, DownloadedJvmType)) {
        if (!value("jvmDownloadUrl")[0])
            report(true, "jvmInstallerType is %s, but jvmDownloadUrl is empty", type);
        if (!value("jvmDownloadSha256")[0])
            report(true, "jvmInstallerType is %s, but jvmDownloadSha256 is empty", type);
    } else if (!type[0]) {
        report(false, "jvmInstallerType is not set: when no JVM of the machine fits, the user "
               "is asked to install one");
    }
}

// The JVM home inside the expanded JVM (jvm/stagedjvm): "./jre", ".\\jre" or
// an absolute directory; any other name is taken inside the folder as well,
// which the author may not have meant.
void Checker::checkHomeDir() {
    const char* home = value("jvmHomeDir");
    bool absolute = (isSeparator(home[0]) && isSeparator(home[1])) ||
                    (isalpha((unsigned char)home[0]) && home[1] == ':' && isSeparator(home[2]));
    if (!home[0] || absolute || (home[0] == '.' && (!home[1] || isSeparator(home[1])))) return;
    const char* inside = home + strspn(home, "\\/");
    report(false, "jvmHomeDir \"%s\" is neither ./relative nor absolute: it is taken inside the "
           "expanded JVM's folder, as ./%s", home, inside);
}

void Checker::checkWizard() {
    if (!value("loaderJavaCommand")[0])
        report(true, "loaderJavaCommand is empty: the wizard's JVM gets no main class");
    if (!value("jvmClasspathSwitch")[0])
        report(true, "jvmClasspathSwitch is empty: the wizard's JVM takes the class path for "
               "its main class");

    const char* classpath = value("loaderClasspath");
    if (!classpath[0]) classpath = DefaultClasspath;
    size_t size = strlen(classpath) + 1;
    ScopedText entries(ScopedText::allocate(size));
    if (!entries) return;
    copyText(entries, size, classpath);
    for (char* entry = strtok(entries, ";"); entry; entry = strtok(nullptr, ";")) {
        // Wildcards and variables are the JVM's or the wizard's to resolve.
        if (!entry[0] || strpbrk(entry, "*%") || strstr(entry, "[$")) continue;
        if (!present(entry))
            report(true, "the class-path entry %s (loaderClasspath) is missing", entry);
    }
    if (!present(TestJvmClassFile))
        report(false, "%s is missing: each JVM of the machine is judged by its -version "
               "answer alone", TestJvmClassFile);
}

}  // namespace

bool checkPackage(const char* packageDir, CheckFindings& findings) {
    Checker checker(packageDir && packageDir[0] ? packageDir : ".", findings);
    return checker.run();
}
