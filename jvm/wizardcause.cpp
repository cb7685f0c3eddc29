// The JVM's own words for a wizard that never ran. Every JVM since Java 7
// says "Error: Could not find or load main class X" for a class missing from
// the class path; Java 6 and older ended with "Could not find the main
// class: X.  Program will exit."; "Error: Unable to access jarfile X" is the
// answer to -jar with an archive that is not there.
#include "jvm/wizardcause.h"
#include "base/strbuf.h"

#include <string.h>

namespace {

struct Phrase {
    const char* words;  // what comes before the name
    const char* end;    // what follows the name on its line (null: nothing)
    WizardCause cause;
};

const Phrase Phrases[] = {
    {"Could not find or load main class ", nullptr, WizardMainClassMissing},
    {"Could not find the main class: ", ".  Program will exit.", WizardMainClassMissing},
    {"Unable to access jarfile ", nullptr, WizardJarMissing},
};

}  // namespace

WizardCause wizardCause(const char* lines, char* name, size_t cap) {
    if (cap) name[0] = '\0';
    if (!lines) return WizardCauseUnknown;
    // The first line that names a cause decides: later ones ("Caused by: ...")
    // only repeat it.
    for (const char* line = lines; *line;) {
        size_t length = strcspn(line, "\r\n");
        for (const Phrase& phrase : Phrases) {
            const char* found = strstr(line, phrase.words);
            if (!found || found >= line + length) continue;
            const char* start = found + strlen(phrase.words);
            size_t size = (size_t)(line + length - start);
            if (phrase.end) {
                size_t endLength = strlen(phrase.end);
                if (size >= endLength && strncmp(start + size - endLength, phrase.end,
                                                 endLength) == 0)
                    size -= endLength;
            }
            while (size > 0 && (start[size - 1] == ' ' || start[size - 1] == '\t')) --size;
            if (cap) copyTextN(name, cap, start, size);
            return phrase.cause;
        }
        line += length;
        line += strspn(line, "\r\n");
    }
    return WizardCauseUnknown;
}
