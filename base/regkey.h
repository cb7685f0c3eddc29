// RegKey: a registry key that is closed when it goes out of scope, so that
// every key opened is closed on every path. Not copyable. Reading and the
// launcher's writing of keys and values both live here; every operation
// takes a registry view (KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0 for the
// program's own) that is added to each access mask it uses.
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

    // Opens root\path for writing, creating it (and missing parents) when
    // it does not open: first, when the key exists, by reopening it with each
    // of WriteMasks in turn, then by RegCreateKeyExA with each of them.
    // Returns the last status (ERROR_SUCCESS when open).
    LONG openForWriting(HKEY root, const char* path, REGSAM view = 0);
    // Writes a string value (REG_SZ); returns the registry status.
    LONG writeText(const char* name, const char* value);

    // Reads a value into buffer (cap bytes) and terminates it. A value that
    // does not fit (ERROR_MORE_DATA) or cannot be read leaves buffer empty;
    // the registry status is returned. type (when given) receives the
    // value's registry type (REG_SZ, REG_EXPAND_SZ, REG_DWORD, ...), which
    // tells whether the bytes read are a text at all.
    LONG readValue(const char* name, char* buffer, size_t cap, DWORD* type = nullptr) const;

private:
    HKEY key;
};

// The write access tried, in this order, when a key is opened for writing:
// full access; then read and write (0x2001F, KEY_READ | KEY_WRITE, which an
// ordinary user may get where full access is refused) twice on purpose, the
// second try giving a key that another JVM installer program is
// creating at that moment one more chance; last, the right to create subkeys alone.
extern const REGSAM WriteMasks[4];

// Opens root\path with the access mask, reads name into buffer (cap bytes),
// closes the key. True when the buffer received a non-empty text.
bool readRegistryText(HKEY root, const char* path, const char* name, char* buffer, size_t cap,
                      REGSAM access = KEY_QUERY_VALUE);

#endif
