#include <rawlet/cups/cups_platform.h>

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
      codePage_(std::move(codePage)), host_(host ? *host : ownHost_)
{}

CupsPlatform::~CupsPlatform() = default;

platform::Platform CupsPlatform::Services()
{
    return {*spooler_, *printers_, codePage_, host_, spooler_.get()};
}

} // namespace rawlet::cups
