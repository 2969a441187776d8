#include "win32_printer_list.h"

#include <windows.h>
#include <winspool.h>

namespace rawlet::win32 {

namespace {

constexpr DWORD kWhich = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
// Level 4 carries only the names, and the spooler answers it without asking each printer.
constexpr DWORD kLevel = 4;

// The spooler's answer as one block; empty when it cannot be read. The list may grow
// between asking for the size and reading, so ask again while the block is too small.
std::vector<BYTE> ReadPrinterInfo(DWORD& count)
{
    std::vector<BYTE> block;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        count = 0;
        if (EnumPrintersA(kWhich, nullptr, kLevel, block.data(), static_cast<DWORD>(block.size()), &needed,
                          &count))
            return block;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        block.resize(needed);
    }
    count = 0;
    return {};
}

} // namespace

std::vector<std::string> Win32PrinterList::DeviceNames()
{
    DWORD count = 0;
    const std::vector<BYTE> block = ReadPrinterInfo(count);
    const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(block.data());
    std::vector<std::string> names;
    names.reserve(count);
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName != nullptr)
            names.emplace_back(info[i].pPrinterName);
    return names;
}

} // namespace rawlet::win32
