#include "registry.h"

#include <sddl.h>

namespace rawlet::test {
namespace {

std::string Quoted(const std::string& argument)
{
    return argument.find_first_of(" \t") == std::string::npos && !argument.empty() ? argument
                                                                                   : "\"" + argument + "\"";
}

bool SetRights(HKEY root, const std::string& path, const char* descriptor)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security,
                                                              nullptr))
        return false;
    HKEY key = nullptr;
    // The owner may always change the rights, whatever they are.
    LONG result = RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key);
    if (result == ERROR_SUCCESS) {
        result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
        RegCloseKey(key);
    }
    LocalFree(security);
    return result == ERROR_SUCCESS;
}

} // namespace

bool Reg(const std::vector<std::string>& arguments)
{
    std::string commandLine = "reg.exe";
    for (const std::string& argument : arguments)
        commandLine += " " + Quoted(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return false;
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return status == 0;
}

void RegAddText(const std::string& key, const std::string& name, const std::string& data)
{
    Reg({"add", key, "/v", name, "/d", data, "/f"});
}

bool MakeReadOnly(HKEY root, const std::string& path) { return SetRights(root, path, "D:P(A;;KR;;;WD)"); }

void AllowAll(HKEY root, const std::string& path) { SetRights(root, path, "D:(A;;KA;;;WD)"); }

void RemoveToolKeys()
{
    for (const char* key : {kToolKey, kLocationKey}) {
        AllowAll(HKEY_LOCAL_MACHINE, std::string(key).substr(5));
        Reg({"delete", key, "/f"});
    }
}

} // namespace rawlet::test
