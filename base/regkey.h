// RegKey: a registry key that is closed when it goes out of scope, so that
// every key opened is closed on every path. Not copyable.
#ifndef BASE_REGKEY_H
#define BASE_REGKEY_H

#include <windows.h>
#include <stddef.h>

class RegKey {
public:
    RegKey() : key(nullptr) {}
    ~RegKey() { close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegOpenKeyExA; returns its status (ERROR_SUCCESS when open).
    LONG open(HKEY root, const char* path, REGSAM access);
    // RegCreateKeyExA with no options; returns its status.
    LONG create(HKEY root, const char* path, REGSAM access);
    void close();
    bool isOpen() const { return key != nullptr; }
    HKEY get() const { return key; }

    // Reads a value into buffer (cap bytes) and terminates it. A value that
    // does not fit (ERROR_MORE_DATA) or cannot be read leaves buffer empty;
    // the registry status is returned.
    LONG readValue(const char* name, char* buffer, size_t cap) const;

private:
    HKEY key;
};

// Opens root\path with the access mask, reads name into buffer (cap bytes),
// closes the key. True when the buffer received a non-empty text.
bool readRegistryText(HKEY root, const char* path, const char* name, char* buffer, size_t cap,
                      REGSAM access = KEY_QUERY_VALUE);

#endif
