// Bounded text helpers for the launcher's fixed-size buffers.
//
// Every copy into a fixed buffer goes through these: a value that does not
// fit is cut at the buffer's capacity (always NUL-terminated) and the cut is
// traced, so nothing ever writes past a buffer. The array forms take the
// capacity from the array type and refuse to compile on a plain pointer.
#ifndef BASE_STRBUF_H
#define BASE_STRBUF_H

#include <stddef.h>

// The launcher's buffer capacities: paths and most values take 5000
// characters, version texts and the JVM kind 200.
enum { PathBufferSize = 5001, VersionBufferSize = 201 };

// Number of elements of an array; does not compile for a pointer.
template <typename T, size_t N> char (&DimofSizeHelper(T (&)[N]))[N];
#define dimof(a) (sizeof(DimofSizeHelper(a)))

// Copies src into dst of capacity cap bytes (cap includes the NUL).
// Returns false when src had to be cut; dst then holds its first cap-1 bytes.
// A null src gives an empty dst.
bool copyText(char* dst, size_t cap, const char* src);

// Appends src to the text in dst (capacity cap); false when cut.
bool appendText(char* dst, size_t cap, const char* src);

// Copies at most count bytes of src (stops at its NUL), false when cut by cap.
bool copyTextN(char* dst, size_t cap, const char* src, size_t count);

// printf into dst (capacity cap); false when the result had to be cut.
bool formatText(char* dst, size_t cap, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

template <size_t N> inline bool copyText(char (&dst)[N], const char* src) {
    return copyText(dst, N, src);
}
template <size_t N> inline bool appendText(char (&dst)[N], const char* src) {
    return appendText(dst, N, src);
}

// Lower-cases an 8-bit text in place (ASCII letters only).
void lowerText(char* text);

#endif
