// Timeline marks: where one run of the launcher spends its time.
//
// Only the benchmark's timeline build (bench/CMakeLists.txt compiles the
// launcher a second time with LAUNCHER_TIMELINE) records anything; in the
// launcher itself every mark is an empty inline call and costs nothing.
// A mark is the performance counter's value, which is one clock for every
// process of the machine, so the benchmark that started the run can set the
// marks against its own start and end of the process.
#ifndef BASE_TIMELINE_H
#define BASE_TIMELINE_H

#ifdef LAUNCHER_TIMELINE
// Records the counter now under a constant name (the text is not copied).
void timelineMark(const char* what);
// Writes the marks, one "MARK <counter> <thread> <name>" line each, to the
// file that the environment variable LAUNCHER_TIMELINE names (nothing when
// it is not set).
void timelineWrite();
#else
inline void timelineMark(const char*) {}
inline void timelineWrite() {}
#endif

#endif
