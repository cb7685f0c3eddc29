// The two checksums zlib's inflate names: CRC-32, which the zip reader
// checks every entry's data against, and Adler-32, which only the zlib
// wrapper (never a zip entry's raw stream) calls. zlib's own definitions
// come in whole objects whose CRC-32 tables alone are 9 KB of the program;
// these, defined where the zip reader is linked from, stand in for them.
// The CRC-32 takes eight bytes a step through eight tables built in zeroed
// memory at its first call, as fast as zlib's.
#include <zlib.h>

namespace {

typedef unsigned int u32;

u32 crcTables[8][256];
bool crcTablesBuilt;

void buildCrcTables() {
    for (u32 i = 0; i < 256; i++) {
        u32 c = i;
        for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTables[0][i] = c;
    }
    for (u32 i = 0; i < 256; i++)
        for (int t = 1; t < 8; t++)
            crcTables[t][i] = crcTables[t - 1][i] >> 8 ^ crcTables[0][crcTables[t - 1][i] & 0xFF];
    crcTablesBuilt = true;
}

u32 load32(const Bytef* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | (u32)p[3] << 24;
}

}

uLong crc32(uLong crc, const Bytef* buf, uInt len) {
    if (!buf) return 0;
    if (!crcTablesBuilt) buildCrcTables();
    const u32(*t)[256] = crcTables;
    u32 c = ~(u32)crc;
    for (; len >= 8; len -= 8, buf += 8) {
        u32 a = c ^ load32(buf), b = load32(buf + 4);
        c = t[7][a & 0xFF] ^ t[6][a >> 8 & 0xFF] ^ t[5][a >> 16 & 0xFF] ^ t[4][a >> 24] ^
            t[3][b & 0xFF] ^ t[2][b >> 8 & 0xFF] ^ t[1][b >> 16 & 0xFF] ^ t[0][b >> 24];
    }
    for (; len; len--) c = t[0][(c ^ *buf++) & 0xFF] ^ c >> 8;
    return ~c;
}

uLong adler32(uLong adler, const Bytef* buf, uInt len) {
    if (!buf) return 1;
    const u32 Base = 65521, Run = 5552;  // the most bytes before a sum can overflow
    u32 a = adler & 0xFFFF, b = adler >> 16 & 0xFFFF;
    while (len) {
        uInt n = len < Run ? len : Run;
        len -= n;
        for (; n; n--) {
            a += *buf++;
            b += a;
        }
        a %= Base;
        b %= Base;
    }
    return (uLong)b << 16 | a;
}
