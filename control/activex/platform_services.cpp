#include "platform_services.h"

#include "win32_code_page.h"
#include "win32_printer_list.h"
#include "win32_spooler.h"

namespace rawlet::activex {

platform::Platform PlatformFor(platform::Host& host) noexcept
{
    // One spooler for the process: its handle numbers stay unique across all objects.
    static win32::Win32Spooler spooler;
    static win32::Win32PrinterList printers;
    static const win32::Win32CodePage codePage;
    return {spooler, printers, codePage, host};
}

} // namespace rawlet::activex
