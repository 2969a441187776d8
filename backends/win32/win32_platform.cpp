#include "win32_platform.h"

#include <windows.h>

#include <stdexcept>

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

std::vector<PrinterDescription> Win32Platform::DescribePrinters()
{
    std::vector<PrinterDescription> printers;
    for (std::string& name : printers_->DeviceNames())
        printers.push_back({std::move(name), "queue", ""});
    return printers;
}

bool Win32Platform::AddPrinterGivenByUri(const std::string& printer)
{
    if (printer.find("://") != std::string::npos)
        throw std::invalid_argument("device URIs are not available on Windows: name a printer");
    return false;
}

bool Win32Platform::AddDirectPrinter(const std::string&, const std::string&)
{
    throw std::invalid_argument("direct printers are not available on Windows: name a printer");
}

void Win32Platform::SetStatusProbe(const std::string& probe)
{
    if (!probe.empty())
        throw std::invalid_argument("status probes are not available on Windows");
}

} // namespace rawlet::win32
