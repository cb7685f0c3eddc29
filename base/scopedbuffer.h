// A heap block (malloc, calloc, or a base function that hands out one, such
// as widen) owned by one scope: freed when the scope ends, on every path.
// Non-copyable; the block can be handed on with release().
#ifndef BASE_SCOPEDBUFFER_H
#define BASE_SCOPEDBUFFER_H

#include <stdlib.h>

template <typename T> class ScopedBuffer {
public:
    explicit ScopedBuffer(T* block = nullptr) : block(block) {}
    // count elements of T, uninitialised; null when out of memory.
    static T* allocate(size_t count) { return (T*)malloc(count * sizeof(T)); }
    ~ScopedBuffer() { free(block); }
    ScopedBuffer(const ScopedBuffer&) = delete;
    ScopedBuffer& operator=(const ScopedBuffer&) = delete;

    T* get() const { return block; }
    operator T*() const { return block; }
    // Frees the block held and takes another.
    void reset(T* other = nullptr) {
        free(block);
        block = other;
    }
    T* release() {
        T* held = block;
        block = nullptr;
        return held;
    }

private:
    T* block;
};

typedef ScopedBuffer<char> ScopedText;

#endif
