// Trace: conditional logging. A trace line is written only while the trace
// file exists, so tracing is switched on by creating "jinstall.log" in the
// work directory. logAndTraceMessage writes a failure to the error log
// always and repeats it in the trace file while tracing is on.
#ifndef BASE_TRACE_H
#define BASE_TRACE_H

#include "base/log.h"

class Trace : public Log {
public:
    void traceMessage(const char* traceFile, const char* message);
    void traceMessage(const char* traceFile, const char* message, int value);
    void traceMessage(const char* traceFile, const char* message, bool value);
    void traceMessage(const char* traceFile, const char* message, const char* detail);

    void logAndTraceMessage(const char* logFile, const char* traceFile, const char* message);
    void logAndTraceMessage(const char* logFile, const char* traceFile, const char* message,
                            const char* detail);
    void logAndTraceMessage(const char* logFile, const char* traceFile, const char* message,
                            bool value);
};

#endif
