// The process's report and the composition of its lines.
#include "base/report.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {
class Silence : public Report {
public:
    void trace(const char*) override {}
    void error(const char*) override {}
    void failure(const char*) override {}
    void flush() override {}
    void endRun(bool) override {}
};
Silence silence;
Report* current = &silence;

enum Kind { TraceLine, ErrorLine };

void send(Kind kind, const char* line) {
    if (kind == TraceLine)
        current->trace(line);
    else
        current->error(line);
}

// "message detail" (a null detail is the empty text).
void sendJoined(Kind kind, const char* message, const char* separator, const char* detail) {
    if (!message) message = "";
    if (!detail) detail = "";
    size_t size = strlen(message) + strlen(separator) + strlen(detail) + 1;
    char* text = (char*)malloc(size);
    if (!text) return;
    snprintf(text, size, "%s%s%s", message, separator, detail);
    send(kind, text);
    free(text);
}

void sendNumber(Kind kind, const char* message, int value) {
    char number[24];
    snprintf(number, sizeof number, "%i", value);
    sendJoined(kind, message, ": ", number);
}
}  // namespace

void setReport(Report* report) { current = report ? report : &silence; }

Report& report() { return *current; }

void trace(const char* message) { send(TraceLine, message ? message : ""); }
void trace(const char* message, const char* detail) { sendJoined(TraceLine, message, " ", detail); }
void trace(const char* message, int value) { sendNumber(TraceLine, message, value); }
void trace(const char* message, bool value) {
    sendJoined(TraceLine, message, ": ", value ? "true" : "false");
}

void reportError(const char* message) { send(ErrorLine, message ? message : ""); }
void reportError(const char* message, const char* detail) {
    sendJoined(ErrorLine, message, " ", detail);
}
void reportError(const char* message, int value) { sendNumber(ErrorLine, message, value); }
void reportError(const char* message, bool value) {
    sendJoined(ErrorLine, message, ": ", value ? "true" : "false");
}

void logError(const char* message) { current->failure(message ? message : ""); }
