#ifndef BASE_LINKTEST_H
#define BASE_LINKTEST_H

// True when the directory dir is itself a link or junction: it carries the
// reparse attribute, or the system resolves it to another place than its
// parent's resolution and its own name (a link the attribute does not show).
bool isLinkItself(const char* dir);

#endif
