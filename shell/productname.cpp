// The product name of the captions, from the control file or from the
// program's own version block.
//
// The version block is the program's RT_VERSION resource, read in place
// (FindResource, LoadResource, LockResource: kernel32 alone, where
// GetFileVersionInfo and VerQueryValue would load version.dll). Its nodes
// are a length, a value length, a text flag, a UTF-16 key and the value,
// then the children; key, value and children each begin on a four-byte
// boundary of the block. ProductName is a child of a string table (any
// language) under StringFileInfo.
#include "shell/productname.h"
#include "base/codepage.h"
#include "base/scopedbuffer.h"
#include "base/strbuf.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

struct Node {
    size_t end;       // offset after the node
    size_t key;       // offset of its key
    size_t value;     // offset of its value
    size_t children;  // offset of its first child
};

class VersionBlock {
public:
    explicit VersionBlock(const void* data) : bytes((const unsigned char*)data) {}

    // The node at offset, within the end of its parent; false when it is
    // not whole.
    bool node(size_t at, size_t parentEnd, Node& node) const {
        if (at + 6 > parentEnd) return false;
        size_t length = word(at);
        size_t valueLength = word(at + 2);
        bool text = word(at + 4) == 1;
        if (length < 6 || at + length > parentEnd) return false;
        node.end = at + length;
        node.key = at + 6;
        size_t keyEnd = node.key;
        while (keyEnd + 2 <= node.end && word(keyEnd) != 0) keyEnd += 2;
        if (keyEnd + 2 > node.end) return false;
        node.value = aligned(keyEnd + 2);
        node.children = aligned(node.value + valueLength * (text ? 2 : 1));
        return true;
    }

    bool keyIs(const Node& node, const char* name) const {
        size_t at = node.key;
        for (; *name; ++name, at += 2)
            if (at + 2 > node.end || word(at) != (unsigned char)*name) return false;
        return at + 2 <= node.end && word(at) == 0;
    }

    // The child of node with the key (any key for null); false when none.
    bool child(const Node& parent, const char* name, Node& found) const {
        for (size_t at = parent.children; at < parent.end; at = aligned(found.end)) {
            if (!node(at, parent.end, found)) return false;
            if (!name || keyIs(found, name)) return true;
        }
        return false;
    }

    // The value of a text node, UTF-8, into out; false when empty or cut.
    bool text(const Node& node, char* out, size_t cap) const {
        wchar_t wide[ProductNameSize];
        size_t count = 0;
        for (size_t at = node.value; at + 2 <= node.end && word(at) != 0; at += 2) {
            if (count + 1 == ProductNameSize) return false;
            wide[count++] = (wchar_t)word(at);
        }
        if (count == 0) return false;
        wide[count] = L'\0';
        return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, (int)cap, nullptr, nullptr) > 0;
    }

private:
    unsigned word(size_t at) const { return bytes[at] | (unsigned)bytes[at + 1] << 8; }
    static size_t aligned(size_t at) { return (at + 3) & ~(size_t)3; }

    const unsigned char* bytes;
};

SRWLOCK lock = SRWLOCK_INIT;
char controlName[ProductNameUtf8Size];  // the control file's, once read
char blockName[ProductNameUtf8Size];    // the version block's, once looked up
bool blockRead = false;

void readOwnVersionBlock() {
    HMODULE self = GetModuleHandleA(nullptr);
    // The block is resource 1 (VS_VERSION_INFO of the resource script).
    HRSRC resource = FindResourceA(self, MAKEINTRESOURCEA(1), (LPCSTR)RT_VERSION);
    HGLOBAL loaded = resource ? LoadResource(self, resource) : nullptr;
    const void* block = loaded ? LockResource(loaded) : nullptr;
    if (!block || !versionBlockProductName(block, SizeofResource(self, resource), blockName,
                                           sizeof blockName))
        blockName[0] = '\0';
}

}  // namespace

bool versionBlockProductName(const void* data, size_t size, char* out, size_t cap) {
    VersionBlock block(data);
    Node root, files, table, name;
    return block.node(0, size, root) && block.keyIs(root, "VS_VERSION_INFO") &&
           block.child(root, "StringFileInfo", files) && block.child(files, nullptr, table) &&
           block.child(table, "ProductName", name) && block.text(name, out, cap);
}

void setProductName(const char* name) {
    // The control file's values are in the program's code page.
    ScopedBuffer<wchar_t> wide(widen(name ? name : "", CP_ACP));
    char utf8[ProductNameUtf8Size] = "";
    if (wide && !WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr))
        utf8[0] = '\0';
    if (!utf8[0]) return;
    AcquireSRWLockExclusive(&lock);
    copyText(controlName, utf8);
    ReleaseSRWLockExclusive(&lock);
}

bool productName(char* out, size_t cap) {
    AcquireSRWLockExclusive(&lock);
    if (!controlName[0] && !blockRead) {
        readOwnVersionBlock();
        blockRead = true;
    }
    const char* name = controlName[0] ? controlName : blockName;
    bool known = name[0] && copyText(out, cap, name);
    ReleaseSRWLockExclusive(&lock);
    return known;
}
