// Report: where the launcher's lines go. Three kinds of line: the trace
// (written only while tracing is on), the error log's lines (repeated in the
// trace) and error-log lines the trace does not repeat. The program's entry
// installs the one report of the process (FileReport, filereport.h); a
// process that installs none writes nothing.
#ifndef BASE_REPORT_H
#define BASE_REPORT_H

class Report {
public:
    virtual void trace(const char* line) = 0;
    virtual void error(const char* line) = 0;  // the error log and the trace
    virtual void failure(const char* line) = 0;  // the error log only
    // Writes what a full disk refused earlier, where there is room now.
    virtual void flush() = 0;
    // The end of the run: the launcher's own trace goes after a good run
    // and ends with the outcome after a failed one.
    virtual void endRun(bool succeeded) = 0;

protected:
    ~Report() {}
};

void setReport(Report* report);
Report& report();

// The lines as the trace has always shown them: "message detail",
// "message: 42", "message: true".
void trace(const char* message);
void trace(const char* message, const char* detail);
void trace(const char* message, int value);
void trace(const char* message, bool value);
void reportError(const char* message);
void reportError(const char* message, const char* detail);
void reportError(const char* message, int value);
void reportError(const char* message, bool value);
void logError(const char* message);

#endif
