#include "test_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <windows.h>

namespace rawlet::test {
namespace {

std::string& Marker()
{
    static std::string path;
    return path;
}

std::string Root()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "rawlet about tests";
    CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

} // namespace

void SetMarkerProgram(std::string path) { Marker() = std::move(path); }

std::string Folder(const std::string& name)
{
    const std::string folder = Root() + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return folder;
}

bool PlaceMarker(const std::string& path)
{
    if (CopyFileA(Marker().c_str(), path.c_str(), FALSE))
        return true;
    std::fprintf(stderr, "cannot copy %s to %s: error %lu\n", Marker().c_str(), path.c_str(), GetLastError());
    return false;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace rawlet::test
