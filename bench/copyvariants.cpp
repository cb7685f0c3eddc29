// Stream-copy variants: the launcher's copy loop with the block geometry and
// the runtime streams' buffering as parameters.
#include "copyvariants.h"

#include <stdio.h>
#include <stdlib.h>

enum { MaxBlocksLimit = 64 };

const CopyVariant CopyVariants[] = {
    {"asIs", 30000, 20, -1, 0},                      // the launcher today
    {"unbuffered", 30000, 20, _IONBF, 0},            // same blocks, no stream buffer
    {"buffer64k", 30000, 20, _IOFBF, 65536},         // same blocks, 64 KB stream buffer
    {"buffer32k", 30000, 20, _IOFBF, 32768},         // same blocks, 32 KB stream buffer
    {"buffer1m", 30000, 20, _IOFBF, 1 << 20},        // same blocks, 1 MB stream buffer
    {"blocks64kUnbuf", 65536, 20, _IONBF, 0},        // aligned blocks, no stream buffer
    {"blocks1mUnbuf", 1 << 20, 4, _IONBF, 0},        // big blocks, no stream buffer
};
const int CopyVariantCount = (int)(sizeof CopyVariants / sizeof CopyVariants[0]);

static bool copyStreamVariant(const CopyVariant& v, FILE* source, FILE* destination) {
    if (_fseeki64(source, 0, SEEK_END) != 0) return false;
    __int64 length = _ftelli64(source);
    if (length < 0 || _fseeki64(source, 0, SEEK_SET) != 0) return false;

    __int64 needed = length / (__int64)v.blockSize + 1;
    int limit = v.maxBlocks < MaxBlocksLimit ? v.maxBlocks : MaxBlocksLimit;
    int blockCount = needed < limit ? (int)needed : limit;
    char* blocks[MaxBlocksLimit];
    size_t counts[MaxBlocksLimit];
    int allocated = 0;
    for (; allocated < blockCount; ++allocated) {
        blocks[allocated] = (char*)malloc(v.blockSize + 1);
        if (!blocks[allocated]) break;
    }
    if (allocated == 0) return false;

    __int64 written = 0;
    bool failed = false;
    while (!feof(source) && !failed) {
        int filled = 0;
        for (; filled < allocated; ++filled) {
            counts[filled] = fread(blocks[filled], 1, v.blockSize, source);
            if (feof(source)) {
                ++filled;
                break;
            }
            if (ferror(source)) {
                failed = true;
                break;
            }
        }
        for (int i = 0; i < filled && !failed; ++i) {
            if (counts[i] == 0) break;
            if (fwrite(blocks[i], 1, counts[i], destination) != counts[i]) failed = true;
            written += counts[i];
        }
    }
    if (!failed && fflush(destination) != 0) failed = true;
    for (int i = 0; i < allocated; ++i) free(blocks[i]);
    return !failed && feof(source) && written == length;
}

bool copyFileVariant(const CopyVariant& v, const char* source, const char* destination,
                     bool append) {
    bool ok = false;
    FILE* in = fopen(source, "rb");
    if (in) {
        FILE* out = fopen(destination, append ? "ab" : "wb");
        if (out) {
            if (v.bufferMode >= 0) {
                setvbuf(in, nullptr, v.bufferMode, v.bufferSize);
                setvbuf(out, nullptr, v.bufferMode, v.bufferSize);
            }
            ok = copyStreamVariant(v, in, out);
            if (fclose(out) != 0) ok = false;
        }
        fclose(in);
    }
    if (!ok && !append) remove(destination);
    return ok;
}
