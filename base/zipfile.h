// Expansion of a zip archive (a vendor's JVM) into a directory, over zlib's
// inflate. Stored and deflated entries, Zip64 sizes and offsets; each
// entry's CRC-32 and sizes are checked as it is written. Names are UTF-8
// when the entry's flag says so, else code page 437; files are created
// through the wide-character API, so any name a folder can hold works.
//
// The whole central directory is checked before anything is written: a file
// that is not a zip, an encrypted entry, an unknown compression method, a
// name that would leave the target (".." segments, absolute names, drive
// letters, a leading slash or backslash, any ':') or that names a device
// (CON, NUL, COM1) refuses the archive with nothing written. A fault found while writing (damaged data, a CRC or size
// that does not match, a full disk) removes again what this expansion
// wrote. Files are created anew only: an entry never replaces a file.
#ifndef BASE_ZIPFILE_H
#define BASE_ZIPFILE_H

#include "base/progress.h"

#include <windows.h>

enum { ZipReasonSize = 1024 };

struct ZipResult {
    unsigned entries;            // entries written (files and folders)
    unsigned long long bytes;    // bytes written
    char reason[ZipReasonSize];  // why the archive was refused; empty on success
};

// Expands the archive open in archive (read access; read from its start)
// into targetDir, which exists. progress (may be null) hears of the bytes
// written against the total of the entries' sizes.
bool expandZip(HANDLE archive, const char* targetDir, Progress* progress, ZipResult& result);

#endif
