#include "testdir.h"
#include "base/filereport.h"

#include <windows.h>
#include <shellapi.h>
#include <direct.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

// The tests' report: the files of whatever directory is current.
static FileReport testReport(false, true);
static const bool reportSet = (setReport(&testReport), true);

ScratchDir::ScratchDir() {
    static unsigned count = 0;
    char temp[MAX_PATH], cwd[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = temp + ("launchertest-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount()) + "-" + std::to_string(++count));
    CreateDirectoryA(dir.c_str(), nullptr);
    saved = _getcwd(cwd, MAX_PATH) ? cwd : "C:\\";
    _chdir(dir.c_str());
}

ScratchDir::~ScratchDir() {
    _chdir(saved.c_str());
    std::string from = dir + '\0';  // a list of one path, ended by an empty one
    SHFILEOPSTRUCTA remove = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, 0, 0, 0};
    SHFileOperationA(&remove);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void makeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') _mkdir(path.substr(0, i).c_str());
}

std::string logText(const std::string& path) {
    std::istringstream in(readFile(path));
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += (line.size() >= 25 ? line.substr(25) : line) + "\n";
    }
    return text;
}

std::vector<std::string> listing(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            names.push_back(found.cFileName + std::string(folder ? "\\" : ""));
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}
