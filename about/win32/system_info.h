#pragma once

#include <optional>
#include <string>
#include <windows.h>

namespace rawlet::about {

// The text of the only failure the About box shows.
inline constexpr char kSysInfoUnavailable[] = "System Information Is Unavailable At This Time";

// Starts the platform's system-information tool, found through the registry, without
// waiting for it; when it cannot be found or started, says so in a message box owned by
// `owner` (modal, returns when the user has closed it).
void StartSysInfo(HWND owner) noexcept;

// Where the registry says the tool is: value "PATH" of "Shared Tools\MSINFO", taken as it
// stands, else the folder in value "MSINFO" of "Shared Tools Location" when MSINFO32.EXE
// exists there. Nothing when neither gives a path.
std::optional<std::string> SysInfoPath();

} // namespace rawlet::about
