// JvmStage: the private folder a new JVM is expanded into and proved in
// before it is moved into its final folder. It lies beside that folder (on
// the same volume, so that the move is a rename) and is named
// "~kivstage-<process>-<time>"; the run holds a lock file in it, which
// Windows deletes when the run ends however it ends, so that the next run
// that stages in the same folder recognises a killed run's leftover (no
// lock, or one nobody holds) and removes it. A stage that is not placed is
// removed when the object goes, with the folder levels made for it that it
// left empty: a failure leaves nothing.
//
// Also the folder helpers of the provisioning: the levels of a folder made
// and, after a failure, removed again where they are left empty.
#ifndef JVM_JVMSTAGE_H
#define JVM_JVMSTAGE_H

#include "base/report.h"
#include "base/strbuf.h"

#include <windows.h>

class JvmStage {
public:
    JvmStage();
    ~JvmStage();
    JvmStage(const JvmStage&) = delete;
    JvmStage& operator=(const JvmStage&) = delete;

    // Makes the stage in parent, and parent with its missing levels; a
    // killed run's stages there go first. False with the system's error
    // (error) when a level or the stage cannot be made.
    bool make(const char* parent, unsigned long& error);
    const char* dir() const { return stageDir; }
    // Moves the stage to target, which must not exist; the stage is then
    // the target's and stays. False with the system's error when it cannot
    // be moved.
    bool placeAt(const char* target, unsigned long& error);

private:
    void removeStage();

    char stageDir[PathBufferSize];
    char madeTop[PathBufferSize];  // the outermost level make made for parent
    char parentDir[PathBufferSize];
    HANDLE lock;
    bool placed;
};

// Makes dir with every missing level. madeTop (PathBufferSize bytes)
// receives the outermost level made (empty: none). False with the system's
// error when a level cannot be made; the levels made stay for the caller to
// remove (removeEmptyLevels).
bool makeLevels(const char* dir, char* madeTop, unsigned long& error);
// Removes dir when it is empty, then each level above it up to top, as long
// as each is left empty. Nothing happens when top is empty or does not hold
// dir: only levels made for the JVM go.
void removeEmptyLevels(const char* dir, const char* top);
// Whether the folder holds nothing at all.
bool isEmptyDir(const char* dir);
// The first entries of dir but skip (may be null), joined by ", " (at most
// count of them, then "..."), into out (cap bytes): what a folder holds.
void listEntries(const char* dir, unsigned count, char* out, size_t cap,
                 const char* skip = nullptr);

#endif
