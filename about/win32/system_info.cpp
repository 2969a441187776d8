#include "system_info.h"

#include "registry_value.h"
#include "win32_handles.h"

namespace rawlet::about {
namespace {

constexpr char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kToolValue[] = "PATH";
constexpr char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kLocationValue[] = "MSINFO";
constexpr char kToolFile[] = "\\MSINFO32.EXE";

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts the program in a normal window that takes the focus, and lets it run on its own.
bool StartProgram(const std::string& path)
{
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    AllowSetForegroundWindow(started.dwProcessId);
    return true;
}

void ShowUnavailable(HWND owner) noexcept
{
    // No caption of its own: the system's default title.
    MessageBoxA(owner, kSysInfoUnavailable, nullptr, MB_OK);
}

} // namespace

std::optional<std::string> SysInfoPath()
{
    std::string keyVal;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kToolKey, kToolValue, keyVal))
        return keyVal;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, kLocationValue, keyVal)) {
        std::string path = keyVal + kToolFile;
        if (FileExists(path))
            return path;
    }
    return std::nullopt;
}

void StartSysInfo(HWND owner) noexcept
{
    try {
        const std::optional<std::string> path = SysInfoPath();
        if (path && StartProgram(*path))
            return;
    } catch (...) {
        // Any failure on the way ends in the same message.
    }
    ShowUnavailable(owner);
}

} // namespace rawlet::about
