// WinVersion: which family of Windows the launcher runs on, asked once.
#ifndef BASE_WINVERS_H
#define BASE_WINVERS_H

#include "base/report.h"

class WinVersion {
public:
    WinVersion() : isNT(false), determined(0) {}
    bool winNT();

private:
    bool isNT;
    unsigned char determined;
};

#endif
