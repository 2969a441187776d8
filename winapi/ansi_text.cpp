#include "ansi_text.h"

#include <climits>
#include <stdexcept>
#include <windows.h>

namespace rawlet::winapi {

namespace {

int CheckedLength(std::size_t size)
{
    if (size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long for the code-page conversion");
    return static_cast<int>(size);
}

} // namespace

std::string ToAnsi(std::wstring_view wide)
{
    const int length = CheckedLength(wide.size());
    if (length == 0)
        return {};
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), needed, nullptr, nullptr);
    return ansi;
}

std::wstring FromAnsi(std::string_view ansi)
{
    const int length = CheckedLength(ansi.size());
    if (length == 0)
        return {};
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed);
    return wide;
}

} // namespace rawlet::winapi
