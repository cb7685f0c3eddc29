// RegKey: scoped registry keys and the one way the launcher reads a value.
#include "base/regkey.h"

#include <string.h>

LONG RegKey::open(HKEY root, const char* path, REGSAM access) {
    close();
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(root, path, 0, access, &opened);
    if (status == ERROR_SUCCESS) key = opened;
    return status;
}

LONG RegKey::create(HKEY root, const char* path, REGSAM access) {
    close();
    HKEY created = nullptr;
    LONG status = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &created, nullptr);
    if (status == ERROR_SUCCESS) key = created;
    return status;
}

const REGSAM WriteMasks[4] = {KEY_ALL_ACCESS, 0x2001F, 0x2001F, KEY_CREATE_SUB_KEY};

LONG RegKey::openForWriting(HKEY root, const char* path, REGSAM view) {
    LONG status = open(root, path, KEY_QUERY_VALUE | view);
    if (status == ERROR_SUCCESS) {
        close();
        for (REGSAM mask : WriteMasks)
            if ((status = open(root, path, mask | view)) == ERROR_SUCCESS) return status;
    }
    for (REGSAM mask : WriteMasks)
        if ((status = create(root, path, mask | view)) == ERROR_SUCCESS) return status;
    return status;
}

LONG RegKey::writeText(const char* name, const char* value) {
    if (!key) return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          (DWORD)strlen(value) + 1);
}

void RegKey::close() {
    if (key) RegCloseKey(key);
    key = nullptr;
}

LONG RegKey::readValue(const char* name, char* buffer, size_t cap, DWORD* type) const {
    if (type) *type = REG_NONE;
    if (!buffer || cap == 0) return ERROR_INVALID_PARAMETER;
    buffer[0] = '\0';
    if (!key) return ERROR_INVALID_HANDLE;
    // Leave room for a terminator the registry may not have stored.
    DWORD size = (DWORD)(cap - 1);
    LONG status = RegQueryValueExA(key, name, nullptr, type, (BYTE*)buffer, &size);
    if (status != ERROR_SUCCESS) {
        buffer[0] = '\0';  // ERROR_MORE_DATA included: too long counts as absent
        return status;
    }
    buffer[size < cap ? size : cap - 1] = '\0';
    return status;
}

bool readRegistryText(HKEY root, const char* path, const char* name, char* buffer, size_t cap,
                      REGSAM access) {
    if (cap) buffer[0] = '\0';
    RegKey key;
    if (key.open(root, path, access) != ERROR_SUCCESS) return false;
    key.readValue(name, buffer, cap);
    return buffer[0] != '\0';
}
