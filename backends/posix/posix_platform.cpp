#include "posix_platform.h"

#include "combined_printer_list.h"
#include "combined_spooler.h"
#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "direct_printers.h"

namespace rawlet::posix {

PosixPlatform::PosixPlatform() : PosixPlatform(codepage::TableCodePage::FromEnvironment(), nullptr) {}

PosixPlatform::PosixPlatform(codepage::CodePagePair codePages)
    : PosixPlatform(codepage::TableCodePage(codePages), nullptr)
{}

PosixPlatform::PosixPlatform(platform::Host& host)
    : PosixPlatform(codepage::TableCodePage::FromEnvironment(), &host)
{}

PosixPlatform::PosixPlatform(codepage::TableCodePage codePage, platform::Host* host)
    : spooler_(std::make_unique<cups::CupsSpooler>()), printers_(std::make_unique<cups::CupsPrinterList>()),
      direct_(std::make_unique<direct::DirectSpooler>()),
      combinedSpooler_(std::make_unique<combined::CombinedSpooler>(*spooler_, *spooler_, *direct_)),
      combinedPrinters_(std::make_unique<combined::CombinedPrinterList>(
          *printers_, [this] { return printers_->Describe(); }, *direct_)),
      codePage_(std::move(codePage)), host_(host ? *host : ownHost_)
{
    direct::PrintersConf conf = direct::LoadPrintersConf();
    for (direct::DirectPrinter& printer : conf.printers)
        direct_->Add(std::move(printer));
    configurationProblems_ = std::move(conf.problems);
}

PosixPlatform::~PosixPlatform() = default;

platform::Platform PosixPlatform::Services()
{
    return {*combinedSpooler_, *combinedPrinters_, codePage_, host_, combinedSpooler_.get()};
}

bool PosixPlatform::AddDirectPrinter(const std::string& name, const std::string& uri)
{
    return direct_->Add({name, direct::ParseDeviceUri(uri)});
}

bool PosixPlatform::AddPrinterGivenByUri(const std::string& printer)
{
    if (!direct::LooksLikeDeviceUri(printer))
        return false;
    // No configured name has a ':', so a URI's name is free unless it was given before.
    [[maybe_unused]] const bool added = AddDirectPrinter(printer, printer);
    LeaveOutQueues();
    return true;
}

void PosixPlatform::SetStatusProbe(const std::string& probe)
{
    direct_->SetStatusProbe(direct::ProbeNamed(probe));
}

void PosixPlatform::LeaveOutQueues() noexcept { combinedPrinters_->LeaveOutQueues(); }

std::vector<PrinterDescription> PosixPlatform::DescribePrinters() { return combinedPrinters_->Describe(); }

} // namespace rawlet::posix
