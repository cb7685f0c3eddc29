// RefusalList: the candidates a JVM search examined and refused, each with
// where it was found, its home and why it was refused. When the search
// ends without a JVM and the installation fails for it, the list goes to
// "errors.log", one line a candidate, so that a support person reads the
// failure from that file alone. Test runs themselves write to the trace only.
#ifndef JVM_REFUSALS_H
#define JVM_REFUSALS_H

#include "base/report.h"

#include <stddef.h>

class RefusalList {
public:
    RefusalList() : text(nullptr), length(0), capacity(0), searched(false) {}
    ~RefusalList();
    RefusalList(const RefusalList&) = delete;
    RefusalList& operator=(const RefusalList&) = delete;

    // A search starts: the list is emptied.
    void startSearch();
    // The search found a JVM: the list is dropped (it explains nothing).
    void clear();
    void add(const char* where, const char* home, const char* reason);
    // A line of its own about the search as a whole (that it was stopped).
    void note(const char* text);
    bool empty() const { return length == 0; }

    // One line a refused candidate (or one line saying none was found) to
    // the error log and the trace; nothing when no search has run.
    void log() const;

private:
    void append(char kind, const char* text);

    char* text;  // lines, each ended by '\n' and begun by its kind: 'R' a refusal, 'N' a note
    size_t length, capacity;
    bool searched;
};

#endif
