#pragma once

// The tests' hand on the registry of their Wine prefix: the real one, through reg.exe as an
// administrator would use it, and through the API where reg.exe cannot (access rights).

#include <string>
#include <vector>
#include <windows.h>

namespace rawlet::test {

inline constexpr char kToolKey[] = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kLocationKey[] = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location";

// Runs reg.exe with `arguments` and tells whether it succeeded.
bool Reg(const std::vector<std::string>& arguments);

// Sets a text value with reg.exe ("reg add KEY /v NAME /d DATA /f").
void RegAddText(const std::string& key, const std::string& name, const std::string& data);

// Lets everyone only read the key (`path` under `root`), as a user without write rights
// would find it; false if the key's rights could not be set.
bool MakeReadOnly(HKEY root, const std::string& path);
// Lets everyone do anything with the key again, so it can be deleted.
void AllowAll(HKEY root, const std::string& path);

// Removes the keys that say where the system-information tool is.
void RemoveToolKeys();

} // namespace rawlet::test
