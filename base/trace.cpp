// Trace: lines that are written only while the trace file exists, and the
// combined failure report to the error log and the trace file.
#include "base/trace.h"
#include "base/fexists.h"

void Trace::traceMessage(const char* traceFile, const char* message) {
    if (fexists(traceFile)) logMessage(traceFile, message);
}

void Trace::traceMessage(const char* traceFile, const char* message, int value) {
    if (fexists(traceFile)) logMessage(traceFile, message, value);
}

void Trace::traceMessage(const char* traceFile, const char* message, bool value) {
    if (fexists(traceFile)) logMessage(traceFile, message, value);
}

void Trace::traceMessage(const char* traceFile, const char* message, const char* detail) {
    if (fexists(traceFile)) logMessage(traceFile, message, detail);
}

void Trace::logAndTraceMessage(const char* logFile, const char* traceFile, const char* message) {
    logMessage(logFile, message);
    traceMessage(traceFile, message);
}

void Trace::logAndTraceMessage(const char* logFile, const char* traceFile, const char* message,
                               const char* detail) {
    logMessage(logFile, message, detail);
    traceMessage(traceFile, message, detail);
}

void Trace::logAndTraceMessage(const char* logFile, const char* traceFile, const char* message,
                               bool value) {
    logMessage(logFile, message, value);
    traceMessage(traceFile, message, value);
}
