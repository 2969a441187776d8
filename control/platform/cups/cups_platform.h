#pragma once

#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "platform/application_host.h"
#include "platform/codepage/table_code_page.h"
#include "platform/platform.h"

namespace rawlet::cups {

// Everything a control needs on a system whose spooler is CUPS: the scheduler the
// environment names, the code pages the locale chooses (or RAWLET_ANSI_CODEPAGE /
// RAWLET_OEM_CODEPAGE), and a host. It must outlive the controls that use it.
//
//     rawlet::cups::CupsPlatform system;
//     rawlet::Rawlet printer(system.Services());
class CupsPlatform {
public:
    // With a host of its own, an ApplicationHost, and the code pages the environment
    // chooses or those given. Throws platform::codepage::UnsupportedCodePage for code pages
    // without tables.
    CupsPlatform() : CupsPlatform(ownHost_) {}
    explicit CupsPlatform(platform::codepage::CodePagePair codePages) : codePage_(codePages), host_(ownHost_)
    {}
    explicit CupsPlatform(platform::Host& host)
        : codePage_(platform::codepage::TableCodePage::FromEnvironment()), host_(host)
    {}
    CupsPlatform(const CupsPlatform&) = delete;
    CupsPlatform& operator=(const CupsPlatform&) = delete;

    platform::Platform Services() { return {spooler_, printers_, codePage_, host_}; }

    CupsSpooler& spooler() noexcept { return spooler_; }
    CupsPrinterList& printers() noexcept { return printers_; }
    const platform::codepage::TableCodePage& codePage() const noexcept { return codePage_; }
    platform::ApplicationHost& applicationHost() noexcept { return ownHost_; }

private:
    platform::ApplicationHost ownHost_;
    CupsSpooler spooler_;
    CupsPrinterList printers_;
    platform::codepage::TableCodePage codePage_;
    platform::Host& host_;
};

} // namespace rawlet::cups
