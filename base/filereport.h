// FileReport: the report of a run, in files of the work directory. The
// error log is "errors.log"; the trace is "jinstall.log", written while it
// exists. The policy is decided once, when the report is made: a trace file
// that the user created before the run traces the run for the user; without
// one the launcher creates it, with the marker "jinstall.sem" saying the
// trace is its own, and the end of the run deletes both again after a good
// run. A line a full disk refuses is kept and written once there is room.
#ifndef BASE_FILEREPORT_H
#define BASE_FILEREPORT_H

#include "base/disknames.h"
#include "base/report.h"
#include "base/strbuf.h"


class FileReport : public Report {
public:
    // The files in the current directory, named by their full paths where
    // the legacy code page can spell them (so that a run in another
    // directory still writes here), else by their names alone. switchOn:
    // the launcher's policy (create the trace when missing); otherwise the
    // files are only used.
    // bareNames: the names alone, in whatever directory is current.
    explicit FileReport(bool switchOn, bool bareNames = false);

    // Whether the trace file exists since the report was made, and whether
    // it is the launcher's own.
    bool tracing() const { return tracingOn; }
    bool ownTrace() const { return ownTraceFile; }

    void trace(const char* line) override;
    void error(const char* line) override;
    void failure(const char* line) override;
    void flush() override;
    void endRun(bool succeeded) override;

private:
    char tracePath[PathBufferSize];
    char errorsPath[PathBufferSize];
    char markerPath[PathBufferSize];
    bool tracingOn;
    bool ownTraceFile;
};

#endif
