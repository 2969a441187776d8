#include "raw_data_type.h"

namespace rawlet::win32 {

namespace {

// DRIVER_INFO_8's mark of a driver that takes XPS (winspool.h's PRINTER_DRIVER_XPS, which
// mingw-w64's header lacks).
constexpr DWORD kXpsDriver = 0x00000002;

} // namespace

std::string RawDataTypeOf(HANDLE printer, const WinspoolCalls& calls)
{
    const std::optional<DWORD> attributes = calls.driverAttributes(printer);
    return attributes && (*attributes & kXpsDriver) ? "XPS_PASS" : "RAW";
}

} // namespace rawlet::win32
