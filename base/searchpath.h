// The process's search path, as the environment holds it.
#ifndef BASE_SEARCHPATH_H
#define BASE_SEARCHPATH_H

// The value of the search path variable (path, PATH or Path), or null.
char* getPathPtr();

#endif
