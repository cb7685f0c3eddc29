// The start directory: the directory the installation was started from, as
// the first line of "startdir.txt" in the work directory records it. The
// shell starts the clean-up program when it differs from the work directory;
// the clean-up appends the logs there.
#ifndef CONFIG_STARTDIR_H
#define CONFIG_STARTDIR_H

#include <stddef.h>

// The first line of "startdir.txt" without a UTF-8 byte-order mark before
// it and without trailing blanks, CR and LF, into
// start (cap bytes). False, with start empty, when there is no such file or
// line, when the line holds only blanks and line ends, or (tooLong set)
// when the line does not fit whole: a cut directory
// name would name another directory.
bool readStartDir(char* start, size_t cap, bool* tooLong = nullptr);

// readStartDir into a buffer of at least PathBufferSize bytes.
void getStartDir(char* start);

#endif
