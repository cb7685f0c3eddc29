// CompressedJvm: the JVM the package carries as a self-expanding program
// ("jvmSelfExtractor"), run in the stage of the staged transaction
// (stagedjvm.h) and required to end with exit code 0.
#ifndef JVM_COMPRESSEDJVM_H
#define JVM_COMPRESSEDJVM_H

// The compressed JVM's file, the one that is both checked and run:
// jvmSelfExtractor as written (jvm/jre-win.exe), in the work directory
// unless it names its own drive or share, or else its last name in the
// work directory. path (PathBufferSize bytes) receives the full path of the
// file found; false when there is none.
bool locateCompressedJvm(const char* jvmSelfExtractor, char* path);

#endif
