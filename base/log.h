// Log: appends one time-stamped line to a named file in the work directory.
//
// Every call opens the file for appending, writes the local time in the
// asctime layout, a blank and the text, and closes the file again; nothing is
// kept open between calls and a file that cannot be opened is skipped
// silently. A line that the disk refuses (full) is taken back whole and kept
// (a few kilobytes' worth) until the next line of the file, or writePending,
// finds room. While "term.log" exists the same line is echoed to stdout.
#ifndef BASE_LOG_H
#define BASE_LOG_H

class Log {
public:
    static void logMessage(const char* filename, const char* message);

    // Writes the lines of filename that a full disk refused earlier, when
    // the file still exists; false when they are still waiting.
    static bool writePending(const char* filename);
};

#endif
