// Bounded copy, append and format for fixed buffers; a cut is traced.
#include "base/strbuf.h"
#include "base/report.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>


static void traceCut(const char* text, size_t cap) {
    // The trace shows the start of the text only; the whole may be huge.
    char head[81];
    size_t n = strlen(text);
    if (n > sizeof head - 1) n = sizeof head - 1;
    memcpy(head, text, n);
    head[n] = '\0';
    char message[160];
    snprintf(message, sizeof message, "text cut to %u characters:", (unsigned)(cap ? cap - 1 : 0));
    trace(message, head);
}

bool copyTextN(char* dst, size_t cap, const char* src, size_t count) {
    if (cap == 0) return false;
    if (!src) {
        dst[0] = '\0';
        return true;
    }
    size_t n = strnlen(src, count);
    bool fits = n < cap;
    if (!fits) n = cap - 1;
    memmove(dst, src, n);
    dst[n] = '\0';
    if (!fits) traceCut(src, cap);
    return fits;
}

bool copyText(char* dst, size_t cap, const char* src) {
    return copyTextN(dst, cap, src, (size_t)-1);
}

bool appendText(char* dst, size_t cap, const char* src) {
    if (cap == 0) return false;
    size_t used = strnlen(dst, cap);
    if (used >= cap) {  // not terminated within its buffer: terminate it
        dst[cap - 1] = '\0';
        used = cap - 1;
    }
    return copyText(dst + used, cap - used, src);
}

bool formatText(char* dst, size_t cap, const char* format, ...) {
    if (cap == 0) return false;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(dst, cap, format, args);
    va_end(args);
    if (n < 0) {
        dst[0] = '\0';
        return false;
    }
    dst[cap - 1] = '\0';
    if ((size_t)n >= cap) {
        traceCut(dst, cap);
        return false;
    }
    return true;
}

void lowerText(char* text) {
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') *text = (char)(*text - 'A' + 'a');
}
