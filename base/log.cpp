// Log: one time-stamped line per call, appended to the named file.
#include "base/log.h"
#include "base/fexists.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static const char TermLogFilename[] = "term.log";

void Log::logMessage(const char* filename, const char* message) {
    FILE* file = fopen(filename, "a+t");
    if (!file) return;

    time_t now = time(nullptr);
    char stamp[32] = "";
    const struct tm* local = localtime(&now);
    const char* text = local ? asctime(local) : nullptr;
    if (text) {
        strncpy(stamp, text, sizeof stamp - 1);
        char* lineEnd = strchr(stamp, '\n');
        if (lineEnd) *lineEnd = '\0';
    }
    if (!message) message = "";

    fprintf(file, "%s %s\n", stamp, message);
    fclose(file);

    if (fexists(TermLogFilename)) {
        printf("%s %s\n", stamp, message);
        fflush(stdout);
    }
}

void Log::logMessage(const char* filename, const char* message, int value) {
    size_t size = strlen(message) + 51;
    char* text = (char*)malloc(size);
    if (!text) return;
    snprintf(text, size, "%s: %i", message, value);
    logMessage(filename, text);
    free(text);
}

void Log::logMessage(const char* filename, const char* message, bool value) {
    size_t size = strlen(message) + 26;
    char* text = (char*)malloc(size);
    if (!text) return;
    snprintf(text, size, "%s: %s", message, value ? "true" : "false");
    logMessage(filename, text);
    free(text);
}

void Log::logMessage(const char* filename, const char* message, const char* detail) {
    if (!detail) detail = "";
    size_t size = strlen(message) + strlen(detail) + 2;
    char* text = (char*)malloc(size);
    if (!text) return;
    snprintf(text, size, "%s %s", message, detail);
    logMessage(filename, text);
    free(text);
}
