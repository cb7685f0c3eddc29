// ChildErrors: a child's standard error kept aside while it runs, and its
// last lines read back once it has ended.
//
// The launcher has no console, so what a child writes to its standard error
// is lost unless it is caught. An ExecCommand given a ChildErrors starts its
// child with the standard error going to a private temporary file (deleted
// when the last handle to it closes, so nothing is left behind, not even by
// a grandchild that holds it on); after the child has ended the file's last
// lines are read into the ChildErrors. Its exit code stays with the
// ExecCommand (lastExitCode).
#ifndef EXEC_CHILDERRORS_H
#define EXEC_CHILDERRORS_H

#include <windows.h>
#include <stdint.h>

class ChildErrors {
public:
    // The most kept: the last TailLines lines, and of them no more than
    // TailSize - 1 bytes.
    enum { TailLines = 10, TailSize = 4096 };

    ChildErrors();
    ~ChildErrors();
    ChildErrors(const ChildErrors&) = delete;
    ChildErrors& operator=(const ChildErrors&) = delete;

    // Starts program with the command line of the (already quoted) entries
    // of argv joined by blanks, as _spawnv(_P_NOWAIT) would, but with the
    // standard error into the private file. Returns the process handle, or
    // -1 when the child could not be started (error then holds the errno of
    // the failure). When no private file can be made, the child is started
    // through _spawnv and nothing is caught.
    intptr_t spawn(const char* program, char* const* argv, int* error);

    // Reads the last lines once the child has ended, and lets the file go.
    void collect();

    // The last lines (line feeds between them, none at the end), "" when
    // the child wrote nothing to its standard error.
    const char* lastLines() const { return tail; }
    // Whether the standard error was caught at all.
    bool captured() const { return caught; }

private:
    bool openFile();

    HANDLE file;
    bool caught;
    char tail[TailSize];
};

// The last count lines of text (length bytes, lines ended by LF or CR LF)
// into out (cap bytes): line feeds between the lines, no line end after the
// last, no empty lines. A line cut at the front of text (partial) is left
// out unless it is the only one.
void lastLinesOf(const char* text, size_t length, bool partial, unsigned count, char* out,
                 size_t cap);

#endif
