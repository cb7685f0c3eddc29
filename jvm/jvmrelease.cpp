// The version named by a JVM home's "release" file.
#include "jvm/jvmrelease.h"
#include "base/disknames.h"

#include "base/strbuf.h"
#include "base/textline.h"

#include <ctype.h>
#include <string.h>

static const char VersionKey[] = "JAVA_VERSION=";

bool readReleaseVersion(const char* home, char* version, size_t cap) {
    if (cap) version[0] = '\0';
    char path[PathBufferSize];
    if (!formatText(path, sizeof path, "%s\\%s", home, ReleaseFile)) return false;
    enum { LineSize = 1000 };
    LineReader file(path, authoredLines(LineSize - 1));
    if (!file.isOpen()) return false;
    char line[LineSize];
    while (file.read(line)) {
        if (!startsWith(line, VersionKey)) continue;
        const char* value = line + strlen(VersionKey);
        size_t length = strlen(value);
        while (length > 0 && isspace((unsigned char)value[length - 1])) --length;
        if (length >= 2 && value[0] == '"' && value[length - 1] == '"') {
            ++value;
            length -= 2;
        }
        if (!copyTextN(version, cap, value, length)) return false;
        for (const char* c = version; *c; ++c)
            if (isdigit((unsigned char)*c)) return true;
        version[0] = '\0';
        return false;
    }
    return false;
}
