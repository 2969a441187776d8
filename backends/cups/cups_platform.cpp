#include <rawlet/cups/cups_platform.h>

#include "backends/direct/device_uri.h"
#include "backends/direct/direct_spooler.h"
#include "combined_printer_list.h"
#include "combined_spooler.h"
#include "cups_printer_list.h"
#include "cups_spooler.h"

namespace rawlet::cups {

CupsPlatform::CupsPlatform() : CupsPlatform(codepage::TableCodePage::FromEnvironment(), nullptr) {}

CupsPlatform::CupsPlatform(codepage::CodePagePair codePages)
    : CupsPlatform(codepage::TableCodePage(codePages), nullptr)
{}

CupsPlatform::CupsPlatform(platform::Host& host)
    : CupsPlatform(codepage::TableCodePage::FromEnvironment(), &host)
{}

CupsPlatform::CupsPlatform(codepage::TableCodePage codePage, platform::Host* host)
    : spooler_(std::make_unique<CupsSpooler>()), printers_(std::make_unique<CupsPrinterList>()),
      direct_(std::make_unique<direct::DirectSpooler>()),
      combinedSpooler_(std::make_unique<CombinedSpooler>(*spooler_, *direct_)),
      combinedPrinters_(std::make_unique<CombinedPrinterList>(*printers_, *direct_)),
      codePage_(std::move(codePage)), host_(host ? *host : ownHost_)
{
    direct::PrintersConf conf = direct::LoadPrintersConf();
    for (direct::DirectPrinter& printer : conf.printers)
        direct_->Add(std::move(printer));
    configurationProblems_ = std::move(conf.problems);
}

CupsPlatform::~CupsPlatform() = default;

platform::Platform CupsPlatform::Services()
{
    return {*combinedSpooler_, *combinedPrinters_, codePage_, host_, combinedSpooler_.get()};
}

bool CupsPlatform::AddDirectPrinter(const std::string& name, const std::string& uri)
{
    return direct_->Add({name, direct::ParseDeviceUri(uri)});
}

bool CupsPlatform::AddPrinterGivenByUri(const std::string& printer)
{
    if (!direct::LooksLikeDeviceUri(printer))
        return false;
    // No configured name has a ':', so a URI's name is free unless it was given before.
    [[maybe_unused]] const bool added = AddDirectPrinter(printer, printer);
    LeaveOutQueues();
    return true;
}

void CupsPlatform::LeaveOutQueues() noexcept { combinedPrinters_->LeaveOutQueues(); }

std::vector<PrinterDescription> CupsPlatform::DescribePrinters() { return combinedPrinters_->Describe(); }

} // namespace rawlet::cups
