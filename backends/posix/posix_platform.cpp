#include "posix_platform.h"

#include "combined_printer_list.h"
#include "combined_spooler.h"
#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "direct_printers.h"
#include "given_printers.h"

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
    configurationProblems_ = combined::AddConfiguredPrinters(*direct_);
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
    return combined::AddPrinterGivenByUri(*direct_, *combinedPrinters_, printer);
}

void PosixPlatform::SetStatusProbe(const std::string& probe)
{
    direct_->SetStatusProbe(direct::ProbeNamed(probe));
}

void PosixPlatform::LeaveOutQueues() noexcept { combinedPrinters_->LeaveOutQueues(); }

std::vector<PrinterDescription> PosixPlatform::DescribePrinters() { return combinedPrinters_->Describe(); }

} // namespace rawlet::posix
