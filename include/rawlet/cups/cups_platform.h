#pragma once

#include <memory>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/codepage/code_page_pair.h>
#include <rawlet/codepage/table_code_page.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>

namespace rawlet::cups {

class CupsPrinterList;
class CupsSpooler;

// Everything a control needs on a system whose spooler is CUPS: the scheduler the
// environment names, the code pages the locale chooses (or RAWLET_ANSI_CODEPAGE /
// RAWLET_OEM_CODEPAGE), and a host. It must outlive the controls that use it.
//
//     rawlet::cups::CupsPlatform system;
//     rawlet::Rawlet printer(system.Services());
class CupsPlatform {
public:
    // With a host of its own, an ApplicationHost, and the code pages the environment
    // chooses or those given. Throws codepage::UnsupportedCodePage for code pages without
    // tables.
    CupsPlatform();
    explicit CupsPlatform(codepage::CodePagePair codePages);
    explicit CupsPlatform(platform::Host& host);
    ~CupsPlatform();
    CupsPlatform(const CupsPlatform&) = delete;
    CupsPlatform& operator=(const CupsPlatform&) = delete;

    // The services for a control, with the spooler's reports.
    platform::Platform Services();

    const codepage::TableCodePage& codePage() const noexcept { return codePage_; }
    // UTF-8 to and from the ANSI code page, for text that enters or leaves as UTF-8.
    const codepage::AnsiCharset& ansiCharset() const noexcept { return codePage_.ansiCharset(); }
    platform::ApplicationHost& applicationHost() noexcept { return ownHost_; }

    // The backend itself, for the programs built with it (its tests and tools).
    CupsSpooler& spooler() noexcept { return *spooler_; }
    CupsPrinterList& printers() noexcept { return *printers_; }

private:
    CupsPlatform(codepage::TableCodePage codePage, platform::Host* host);

    platform::ApplicationHost ownHost_;
    std::unique_ptr<CupsSpooler> spooler_;
    std::unique_ptr<CupsPrinterList> printers_;
    codepage::TableCodePage codePage_;
    platform::Host& host_;
};

} // namespace rawlet::cups
