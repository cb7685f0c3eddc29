// WinVersion: the Windows family, determined once per object.
#include "base/winvers.h"

#include <windows.h>


bool WinVersion::winNT() {
    if (determined) return isNT;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    DWORD version = GetVersion();
#pragma GCC diagnostic pop
    if (!(version & 0x80000000u)) {
        isNT = true;
    } else if ((version & 0xFF) <= 3) {
        trace("Bad version of windows");
    } else {
        isNT = false;
    }
    ++determined;
    return isNT;
}
