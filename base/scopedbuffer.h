// Heap memory owned by one scope, freed when the scope ends, on every path:
// a block (malloc, calloc, or a base function that hands out one, such as
// widen), a list of texts, an object too large for the stack. Non-copyable;
// a block can be handed on with release().
#ifndef BASE_SCOPEDBUFFER_H
#define BASE_SCOPEDBUFFER_H

#include <new>
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
    T* operator->() const { return block; }
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

// A null-ended list of texts, each a heap block the list owns and frees
// with itself. An entry that could not be had (null) makes the list
// incomplete; one beyond the list's room is dropped.
class ScopedTextList {
public:
    ScopedTextList() = default;
    ScopedTextList(const ScopedTextList&) = delete;
    ScopedTextList& operator=(const ScopedTextList&) = delete;
    ~ScopedTextList() {
        for (unsigned i = 0; i < used; ++i) free(entries.get()[i]);
    }

    // Room for room entries and the list's end; false when memory is short.
    bool allocate(unsigned room) {
        entries.reset((char**)calloc(room + 1, sizeof(char*)));
        capacity = entries ? room : 0;
        return entries.get() != nullptr;
    }
    // Takes text, a heap block or null.
    void add(char* text) {
        if (used >= capacity) {
            free(text);
            return;
        }
        if (!text) complete = false;
        entries.get()[used++] = text;
    }
    char** get() const { return entries.get(); }
    unsigned count() const { return used; }
    bool isComplete() const { return complete; }

private:
    ScopedBuffer<char*> entries;
    unsigned capacity = 0, used = 0;
    bool complete = true;
};

// An object too large for the stack, on the heap for one scope: destroyed
// and freed when the scope ends; null when memory is short. Placed in
// malloc'd memory, as the nothrow operator new would link the C++
// runtime's exception machinery into the program.
template <typename T> class HeapObject {
public:
    template <typename... Args> explicit HeapObject(Args&&... args) : object(nullptr) {
        void* memory = malloc(sizeof(T));
        if (memory) object = new (memory) T(static_cast<Args&&>(args)...);
    }
    ~HeapObject() {
        if (!object) return;
        object->~T();
        free(object);
    }
    HeapObject(const HeapObject&) = delete;
    HeapObject& operator=(const HeapObject&) = delete;

    T* get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T* object;
};

#endif
