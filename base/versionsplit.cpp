// parseVersion: a version's base and micro part.
#include "base/versionsplit.h"
#include "base/strbuf.h"

#include <string.h>

void parseVersion(const char* version, char* base, char* micro) {
    size_t size = strlen(version) + 1;  // both buffers hold the whole version
    copyText(base, size, version);
    copyText(micro, size > 2 ? size : 2, "0");
    unsigned dots = 0;
    for (const char* c = base; *c; ++c)
        if (*c == '.') ++dots;
    if (dots < 2) return;
    char* lastDot = strrchr(base, '.');
    copyText(micro, size, lastDot + 1);
    *lastDot = '\0';
}
