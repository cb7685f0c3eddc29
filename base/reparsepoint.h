// Whether a directory is a reparse point (a junction, a symbolic link, a
// mount point) rather than a directory of its own: what a tree deletion must
// remove as a link and never walk into.
#ifndef BASE_REPARSEPOINT_H
#define BASE_REPARSEPOINT_H

// True when the directory dir is itself a link or junction: it carries the
// reparse attribute, or the system resolves it to another place than its
// parent's resolution and its own name (a link the attribute does not show).
bool isLinkItself(const char* dir);

#endif
