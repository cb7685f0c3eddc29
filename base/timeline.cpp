// The timeline build's marks (see timeline.h); empty in the launcher itself.
#include "base/timeline.h"

#ifdef LAUNCHER_TIMELINE
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const LONG MaxMarks = 256;

struct Mark {
    const char* what;
    LONGLONG counter;
    DWORD thread;
};

static Mark marks[MaxMarks];
static LONG markCount = 0;
static DWORD firstThread = 0;  // the thread of the first mark: the main thread

void timelineMark(const char* what) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    LONG slot = InterlockedIncrement(&markCount) - 1;
    if (slot >= MaxMarks) return;
    if (slot == 0) firstThread = GetCurrentThreadId();
    marks[slot].what = what;
    marks[slot].counter = now.QuadPart;
    marks[slot].thread = GetCurrentThreadId();
}

void timelineWrite() {
    const char* path = getenv("LAUNCHER_TIMELINE");
    if (!path || !*path) return;
    FILE* file = fopen(path, "wb");
    if (!file) return;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    fprintf(file, "FREQUENCY %lld\n", (long long)frequency.QuadPart);
    LONG count = markCount < MaxMarks ? markCount : MaxMarks;
    for (LONG i = 0; i < count; ++i)
        fprintf(file, "MARK %lld %s %s\n", (long long)marks[i].counter,
                marks[i].thread == firstThread ? "main" : "worker", marks[i].what);
    fclose(file);
}
#endif
