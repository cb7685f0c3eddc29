// RefusalList: the refused candidates of a JVM search, kept as lines in one
// growing buffer until the installation knows whether they explain its end.
#include "jvm/refusals.h"

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

void RefusalList::add(const char* where, const char* home, const char* reason) {
    static const char Layout[] = "%s, home %s: %s\n";
    size_t needed = strlen(where) + strlen(home) + strlen(reason) + sizeof Layout;
    if (length + needed > capacity) {
        size_t grown = (capacity ? capacity * 2 : 1024) + needed;
        char* larger = (char*)realloc(text, grown);
        if (!larger) return;  // the line is lost, the search goes on
        text = larger;
        capacity = grown;
    }
    formatText(text + length, capacity - length, Layout, where, *home ? home : "(none)", reason);
    length += strlen(text + length);
}

void RefusalList::log(Trace& log, const char* logFile, const char* traceFile) const {
    if (!searched) return;
    if (length == 0) {
        log.logAndTraceMessage(logFile, traceFile,
                               "No installed JVM was found in the registry, JAVA_HOME or PATH");
        return;
    }
    for (char* line = text; *line;) {
        char* end = strchr(line, '\n');
        *end = '\0';
        log.logAndTraceMessage(logFile, traceFile, "JVM refused:", line);
        *end = '\n';
        line = end + 1;
    }
}
