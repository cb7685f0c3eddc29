// RefusalList: the refused candidates of a JVM search, kept as lines in one
// growing buffer until the installation knows whether they explain its end.
#include "jvm/refusals.h"

#include "base/scopedbuffer.h"
#include "base/strbuf.h"

#include <stdlib.h>
#include <string.h>

RefusalList::~RefusalList() { free(text); }

void RefusalList::startSearch() {
    length = 0;
    if (text) text[0] = '\0';
    searched = true;
}

void RefusalList::clear() {
    startSearch();
    searched = false;
}

void RefusalList::append(char kind, const char* line) {
    size_t needed = strlen(line) + 3;
    if (length + needed > capacity) {
        size_t grown = (capacity ? capacity * 2 : 1024) + needed;
        char* larger = (char*)realloc(text, grown);
        if (!larger) return;  // the line is lost, the search goes on
        text = larger;
        capacity = grown;
    }
    formatText(text + length, capacity - length, "%c%s\n", kind, line);
    length += strlen(text + length);
}

void RefusalList::add(const char* where, const char* home, const char* reason) {
    size_t size = strlen(where) + strlen(home) + strlen(reason) + 20;
    ScopedText line(ScopedText::allocate(size));
    if (!line) return;
    formatText(line, size, "%s, home %s: %s", where, *home ? home : "(none)", reason);
    append('R', line);
}

void RefusalList::note(const char* line) { append('N', line); }

void RefusalList::log() const {
    if (!searched) return;
    if (length == 0) {
        reportError("No installed JVM was found in the registry, JAVA_HOME or PATH");
        return;
    }
    for (char* line = text; *line;) {
        char* end = strchr(line, '\n');
        *end = '\0';
        if (line[0] == 'R') reportError("JVM refused:", line + 1);
        else reportError(line + 1);
        *end = '\n';
        line = end + 1;
    }
}
