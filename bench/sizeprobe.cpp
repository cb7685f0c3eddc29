// sizeprobe: linked into installer_slim, a copy of installer.exe that shows
// what two pieces of the C and C++ runtimes cost in the exe's size. It
// replaces, at link time only:
//   - the nothrow operator new and the operator deletes, whose library
//     versions bring in libstdc++'s exception machinery (personality,
//     unwinder, verbose terminate handler with its demangler, emutls and
//     winpthread);
//   - __mingw_vfprintf, which any file that includes a C++ runtime header
//     before <stdio.h> calls for fprintf (libstdc++ turns the mingw printf
//     family on), bringing in mingw's own printf with its float formatting.
// Neither replacement changes what the launcher does: the program never
// throws, and every format it prints is plain text the system's runtime
// prints the same way. The product's own fix is to do without both (see
// the bench's report); this file only measures what that fix would save.
#include <stdio.h>
#include <stdarg.h>
#include <stdlib.h>
#include <new>

void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size); }
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }

extern "C" int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
    return __ms_vfprintf(stream, format, arguments);
}
