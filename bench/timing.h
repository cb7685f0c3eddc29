// Timing helpers shared by the benchmark programs: a monotonic clock in
// seconds and the median of a set of runs.
#ifndef BENCH_TIMING_H
#define BENCH_TIMING_H

#include <windows.h>
#include <stdlib.h>
#include <string.h>

inline double now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

inline int compareDoubles(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

// The median of count values; the values themselves stay as they are.
inline double median(const double* values, unsigned count) {
    if (count == 0) return 0;
    double* sorted = (double*)malloc(count * sizeof *values);
    if (!sorted) return 0;
    memcpy(sorted, values, count * sizeof *values);
    qsort(sorted, count, sizeof *sorted, compareDoubles);
    double middle =
        count % 2 ? sorted[count / 2] : (sorted[count / 2 - 1] + sorted[count / 2]) / 2;
    free(sorted);
    return middle;
}

#endif
