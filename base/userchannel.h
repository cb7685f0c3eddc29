// UserChannel: what an installation says to the user while it runs: the
// name of what the package installs, the stage it has reached, the one
// failure box of a failed run, and the moment the status dialog may go. The shell implements it; the layers below are
// handed it and never show a window themselves.
#ifndef BASE_USERCHANNEL_H
#define BASE_USERCHANNEL_H

#include "base/progress.h"
#include "base/usertext.h"

class UserChannel {
public:
    // The package's name for what it installs (the control file's
    // productName, in the program's code page), for the captions of the
    // status dialog and of the box from here on.
    virtual void showProductName(const char*) {}
    // The stage reached, as the status line names it: a named text and
    // its values (null: none).
    virtual void showStage(UserText stage, const char* first, const char* second) = 0;
    // The failure box in the user's language: the message, the details
    // (when there are any) and the pointer to the logs. Shown once per run;
    // a quiet run shows none.
    virtual void showFailure(const UserLines& message, const UserLines& details) = 0;
    // The status dialog may go (it has been in the way long enough).
    virtual void releaseDialog() = 0;
    // Where the progress of a long step (a JVM download) is shown; null
    // where it is not.
    virtual Progress* progress() { return nullptr; }

protected:
    ~UserChannel() {}
};

#endif
