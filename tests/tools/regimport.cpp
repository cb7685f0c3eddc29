// regimport [/reg:32|/reg:64] FILE: writes the keys and values of a REGEDIT4 file (UTF-8 text)
// through the registry API, in the 64-bit view unless /reg:32 asks for the 32-bit one, as
// "reg import" does. The scenarios seed the registry with it: Wine's regedit now and then hung on
// an import until its time limit. It knows what the scenarios write: [key], [-key] (deleted with
// its subkeys), a value "name" or @ as "text", dword:, hex: or hex(N): (the bytes of a text type
// are UTF-8 too), or - (deleted). Exits 0 when every line was written, else 1 naming the lines.
// regimport /query [/reg:32|/reg:64] KEY: KEY and its subkeys with their text and number values,
// UTF-8, as "reg query KEY /s" lists them; exits 0 (an absent KEY lists nothing), else 1. The
// scenarios read the registry with it: Wine's reg now and then listed nothing under load.
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

using std::wstring;

struct Root {
    const wchar_t* name;
    HKEY key;
};
const Root Roots[] = {{L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKLM", HKEY_LOCAL_MACHINE},
                      {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {L"HKCU", HKEY_CURRENT_USER},
                      {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_USERS", HKEY_USERS}};

wstring widened(const char* utf8, int size) {
    wstring wide(size, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8, size, &wide[0], size));
    return wide;
}

bool splitKey(const wstring& full, HKEY& root, wstring& path) {
    size_t slash = full.find(L'\\');
    for (const Root& r : Roots)
        if (full.compare(0, slash, r.name) == 0) {
            root = r.key;
            path = slash == wstring::npos ? L"" : full.substr(slash + 1);
            return true;
        }
    return false;
}

// The quoted text at s[i] (its opening quote), \\ and \" unescaped; i ends after the closing quote.
bool quoted(const wstring& s, size_t& i, wstring& out) {
    if (i >= s.size() || s[i] != L'"') return false;
    for (++i; i < s.size(); ++i) {
        if (s[i] == L'\\' && i + 1 < s.size()) out += s[++i];
        else if (s[i] == L'"') return ++i, true;
        else out += s[i];
    }
    return false;
}

bool hexBytes(const wstring& s, std::vector<BYTE>& out) {
    for (size_t i = 0; i < s.size();) {
        if (s[i] == L',' || s[i] == L' ' || s[i] == L'\t') {
            ++i;
            continue;
        }
        wchar_t* end;
        unsigned long byte = wcstoul(s.c_str() + i, &end, 16);
        size_t used = (size_t)(end - (s.c_str() + i));
        if (used == 0 || used > 2) return false;
        out.push_back((BYTE)byte);
        i += used;
    }
    return true;
}

LONG setValue(HKEY key, const wstring& name, const wstring& data) {
    if (data == L"-") {
        LONG status = RegDeleteValueW(key, name.c_str());
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    if (!data.empty() && data[0] == L'"') {
        wstring text;
        size_t i = 0;
        if (!quoted(data, i, text)) return ERROR_INVALID_DATA;
        return RegSetValueExW(key, name.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(),
                              (DWORD)((text.size() + 1) * sizeof(wchar_t)));
    }
    if (data.compare(0, 6, L"dword:") == 0) {
        DWORD number = wcstoul(data.c_str() + 6, nullptr, 16);
        return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, (const BYTE*)&number, sizeof number);
    }
    DWORD type = REG_BINARY;
    if (data.compare(0, 4, L"hex(") == 0) type = wcstoul(data.c_str() + 4, nullptr, 16);
    else if (data.compare(0, 4, L"hex:") != 0) return ERROR_INVALID_DATA;
    size_t colon = data.find(L':');
    std::vector<BYTE> bytes;
    if (colon == wstring::npos || !hexBytes(data.substr(colon + 1), bytes)) return ERROR_INVALID_DATA;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        wstring wide = widened((const char*)bytes.data(), (int)bytes.size());
        return RegSetValueExW(key, name.c_str(), 0, type, (const BYTE*)wide.data(),
                              (DWORD)(wide.size() * sizeof(wchar_t)));
    }
    return RegSetValueExW(key, name.c_str(), 0, type, bytes.data(), (DWORD)bytes.size());
}

LONG deleteKey(HKEY root, const wstring& path, REGSAM view) {
    HKEY key;
    LONG status = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key);
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    status = RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    return status != ERROR_SUCCESS ? status : RegDeleteKeyExW(root, path.c_str(), view, 0);
}

// One line of the file; key is the one the last [key] line opened (closed by the next).
LONG importLine(const wstring& line, HKEY& key, REGSAM view) {
    if (line.empty() || line[0] == L';' || line == L"REGEDIT4") return ERROR_SUCCESS;
    if (line[0] == L'[') {
        if (key) RegCloseKey(key);
        key = nullptr;
        bool removal = line.size() > 1 && line[1] == L'-';
        size_t close = line.rfind(L']');
        HKEY root;
        wstring path;
        if (close == wstring::npos || !splitKey(line.substr(1 + removal, close - 1 - removal),
                                                root, path))
            return ERROR_INVALID_DATA;
        if (removal) return deleteKey(root, path, view);
        return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                               &key, nullptr);
    }
    wstring name;
    size_t i = 0;
    if (line[0] == L'@') i = 1;
    else if (!quoted(line, i, name)) return ERROR_INVALID_DATA;
    if (!key || i >= line.size() || line[i] != L'=') return ERROR_INVALID_DATA;
    return setValue(key, name, line.substr(i + 1));
}

void printUtf8(const wstring& text) {
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0],
                                    (int)utf8.size(), nullptr, nullptr));
    fputs(utf8.c_str(), stdout);
}

// Lists key (named full) and below it each subkey, depth first.
bool listKey(HKEY root, const wstring& path, const wstring& full, REGSAM view) {
    HKEY key;
    LONG status = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    printUtf8(L"\n" + full + L"\n");
    wchar_t name[16384];
    BYTE data[65536];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384, size = sizeof data - sizeof(wchar_t), type;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size)) break;
        wstring shown;
        if (type == REG_DWORD) {
            wchar_t number[16];
            swprintf(number, 16, L"0x%lx", *(DWORD*)data);
            shown = number;
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[size] = data[size + 1] = 0;
            shown = (const wchar_t*)data;
        }
        printUtf8(L"    " + wstring(nameLength ? name : L"(Default)") +
                  (type == REG_DWORD ? L"    REG_DWORD    " : type == REG_EXPAND_SZ
                                                                ? L"    REG_EXPAND_SZ    "
                                                                : L"    REG_SZ    ") +
                  shown + L"\n");
    }
    bool ok = true;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr)) break;
        ok = listKey(root, path + L"\\" + name, full + L"\\" + name, view) && ok;
    }
    RegCloseKey(key);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    REGSAM view = KEY_WOW64_64KEY;
    const char* file = nullptr;
    bool query = false;
    for (int i = 1; i < argc; ++i) {
        if (_stricmp(argv[i], "/reg:32") == 0) view = KEY_WOW64_32KEY;
        else if (_stricmp(argv[i], "/reg:64") == 0) view = KEY_WOW64_64KEY;
        else if (_stricmp(argv[i], "/query") == 0) query = true;
        else file = argv[i];
    }
    if (query) {
        HKEY root;
        wstring path;
        if (!file || !splitKey(widened(file, (int)strlen(file)), root, path)) return 2;
        return listKey(root, path, widened(file, (int)strlen(file)), view) ? 0 : 1;
    }
    FILE* f = file ? fopen(file, "rb") : nullptr;
    if (!f) {
        fprintf(stderr, "usage: regimport [/reg:32|/reg:64] FILE.reg (a readable file)\n");
        return 2;
    }
    std::string bytes;
    for (int c; (c = fgetc(f)) != EOF;) bytes += (char)c;
    fclose(f);
    wstring text = widened(bytes.data(), (int)bytes.size());

    HKEY key = nullptr;
    wstring line;
    int failures = 0, number = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(L'\n', pos);
        if (end == wstring::npos) end = text.size();
        line += text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line.back() == L'\\' && line.find(L"=hex") != wstring::npos) {
            line.pop_back();  // a list of bytes goes on on the next line
            continue;
        }
        size_t start = line.find_first_not_of(L" \t");
        LONG status = importLine(start == wstring::npos ? L"" : line.substr(start), key, view);
        if (status != ERROR_SUCCESS) {
            fprintf(stderr, "regimport: line %d: error %ld\n", number, status);
            ++failures;
        }
        line.clear();
    }
    if (key) RegCloseKey(key);
    return failures ? 1 : 0;
}
