// WinVersion: which family of Windows the launcher runs on, asked once.
#ifndef BASE_WINVERS_H
#define BASE_WINVERS_H

#include "base/trace.h"

class WinVersion : public Trace {
public:
    WinVersion() : isNT(false), determined(0) {}
    bool winNT();

private:
    bool isNT;
    unsigned char determined;
};

#endif
