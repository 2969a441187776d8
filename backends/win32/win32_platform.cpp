#include "win32_platform.h"

#include <windows.h>

#include "win32_code_page.h"
#include "win32_printer_list.h"
#include "win32_spooler.h"

namespace rawlet::win32 {

Win32Platform::Win32Platform()
    : spooler_(std::make_unique<Win32Spooler>()), printers_(std::make_unique<Win32PrinterList>()),
      codePage_(std::make_unique<Win32CodePage>())
{}

Win32Platform::~Win32Platform() = default;

platform::Platform Win32Platform::Services(platform::Host& host)
{
    return {*spooler_, *printers_, *codePage_, host, spooler_.get()};
}

const codepage::AnsiCharset& Win32Platform::ansiCharset()
{
    if (!charset_)
        charset_.emplace(static_cast<int>(GetACP()));
    return *charset_;
}

} // namespace rawlet::win32
