// Variants of the launcher's stream copy, for measuring what the C runtime's
// stream buffering and the block size cost. A private copy of the copy loop
// in base/clib.cpp (same passes, same checks) with the block geometry and
// the streams' buffering as parameters; the launcher itself does not use it.
#ifndef BENCH_COPYVARIANTS_H
#define BENCH_COPYVARIANTS_H

#include <stddef.h>

struct CopyVariant {
    const char* name;
    size_t blockSize;   // bytes per block
    int maxBlocks;      // blocks per pass
    int bufferMode;     // -1: the runtime's default buffer; else _IONBF or _IOFBF
    size_t bufferSize;  // for _IOFBF
};

extern const CopyVariant CopyVariants[];
extern const int CopyVariantCount;

// Copies source to destination (created or truncated) the variant's way;
// with append, appends to destination (created when missing) instead.
bool copyFileVariant(const CopyVariant& variant, const char* source, const char* destination,
                     bool append);

#endif
