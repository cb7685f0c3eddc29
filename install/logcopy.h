// LogCopy: the logs of the run outlive the work directory.
#ifndef INSTALL_LOGCOPY_H
#define INSTALL_LOGCOPY_H

// Deletes an errors.log that holds nothing.
void dropEmptyErrorsLog();

// Appends every "*.log" of the work directory to the file of its name in
// the start directory (or, when that cannot be written, in windowsDir),
// never to itself. False when errors.log could not be saved there.
bool copyLogs(const char* windowsDir);

#endif
