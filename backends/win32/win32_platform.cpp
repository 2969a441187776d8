#include "win32_platform.h"

#include <windows.h>

#include "combined_printer_list.h"
#include "combined_spooler.h"
#include "direct_printers.h"
#include "given_printers.h"
#include "win32_code_page.h"
#include "win32_printer_list.h"
#include "win32_spooler.h"
#include "win32_transports.h"

namespace rawlet::win32 {

namespace {

std::vector<PrinterDescription> DescribeQueues(Win32PrinterList& queues)
{
    std::vector<PrinterDescription> printers;
    for (std::string& name : queues.DeviceNames())
        printers.push_back({std::move(name), "queue", ""});
    return printers;
}

} // namespace

Win32Platform::Win32Platform()
    : spooler_(std::make_unique<Win32Spooler>()), printers_(std::make_unique<Win32PrinterList>()),
      direct_(std::make_unique<direct::DirectSpooler>()),
      combinedSpooler_(std::make_unique<combined::CombinedSpooler>(*spooler_, *spooler_, *direct_)),
      combinedPrinters_(std::make_unique<combined::CombinedPrinterList>(
          *printers_, [this] { return DescribeQueues(*printers_); }, *direct_)),
      codePage_(std::make_unique<Win32CodePage>())
{
    configurationProblems_ = combined::AddConfiguredPrinters(*direct_);
}

Win32Platform::~Win32Platform() = default;

platform::Platform Win32Platform::Services(platform::Host& host)
{
    return {*combinedSpooler_, *combinedPrinters_, *codePage_, host, combinedSpooler_.get()};
}

const codepage::AnsiCharset& Win32Platform::ansiCharset()
{
    if (!charset_)
        charset_.emplace(static_cast<int>(GetACP()));
    return *charset_;
}

// The USB printers attached now that no line of printers.conf names follow, each under the
// URI that reaches it, so that a user finds what to write there.
std::vector<PrinterDescription> Win32Platform::DescribePrinters()
{
    std::vector<PrinterDescription> printers = combinedPrinters_->Describe();
    std::vector<direct::DeviceUri> configured;
    for (const direct::DirectPrinter& printer : direct_->Printers())
        configured.push_back(printer.uri);
    for (std::string& uri :
         direct::UnconfiguredUsbPrinters(direct::SystemUsbPrintClass()->Attached(), configured))
        printers.push_back({uri, "direct", uri});
    return printers;
}

bool Win32Platform::AddDirectPrinter(const std::string& name, const std::string& uri)
{
    return direct_->Add({name, direct::ParseDeviceUri(uri)});
}

bool Win32Platform::AddPrinterGivenByUri(const std::string& printer)
{
    return combined::AddPrinterGivenByUri(*direct_, *combinedPrinters_, printer);
}

void Win32Platform::SetStatusProbe(const std::string& probe)
{
    direct_->SetStatusProbe(direct::ProbeNamed(probe));
}

} // namespace rawlet::win32
