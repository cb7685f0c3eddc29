#include "testdir.h"

#include <windows.h>
#include <direct.h>
#include <stdio.h>

static void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

ScratchDir::ScratchDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    static unsigned count = 0;
    snprintf(name, sizeof name, "%slaunchertest-%lu-%lu-%u", temp, GetCurrentProcessId(),
             GetTickCount(), ++count);
    dir = name;
    CreateDirectoryA(dir.c_str(), nullptr);
    char cwd[MAX_PATH];
    saved = _getcwd(cwd, MAX_PATH) ? cwd : "C:\\";
    _chdir(dir.c_str());
}

ScratchDir::~ScratchDir() {
    _chdir(saved.c_str());
    removeTree(dir);
}

std::string readFile(const std::string& path) {
    std::string content;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return content;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    fclose(f);
    return content;
}

void writeFile(const std::string& path, const std::string& content) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void makeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') _mkdir(path.substr(0, i).c_str());
}

std::vector<std::string> logLines(const std::string& path) {
    std::vector<std::string> texts;
    std::string content = readFile(path);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        texts.push_back(line.size() >= 25 ? line.substr(25) : line);
        start = end + 1;
    }
    return texts;
}

std::string logText(const std::string& path) {
    std::string text;
    for (const std::string& line : logLines(path)) text += line + "\n";
    return text;
}
