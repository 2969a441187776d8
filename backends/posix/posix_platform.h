#pragma once

#include <memory>
#include <string>
#include <vector>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/codepage/code_page_pair.h>
#include <rawlet/codepage/table_code_page.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>
#include <rawlet/printer_description.h>

namespace rawlet::direct {
class DirectSpooler;
}
namespace rawlet::cups {
class CupsPrinterList;
class CupsSpooler;
} // namespace rawlet::cups
namespace rawlet::combined {
class CombinedPrinterList;
class CombinedSpooler;
} // namespace rawlet::combined

namespace rawlet::posix {

using rawlet::PrinterDescription;

// Everything a control needs on Linux and macOS: the scheduler's queues (CUPS, the scheduler
// the environment names), followed by the direct printers of printers.conf (reached without
// a scheduler: see docs/direct-printers.md), the code pages the locale chooses (or
// RAWLET_ANSI_CODEPAGE / RAWLET_OEM_CODEPAGE), and a host. It must outlive the controls that
// use it. Programs use rawlet::System (<rawlet/system.h>), which picks this bundle itself;
// the backend's own tests and tools use it directly.
class PosixPlatform {
public:
    // With a host of its own, an ApplicationHost, and the code pages the environment
    // chooses or those given. Throws codepage::UnsupportedCodePage for code pages without
    // tables.
    PosixPlatform();
    explicit PosixPlatform(codepage::CodePagePair codePages);
    explicit PosixPlatform(platform::Host& host);
    ~PosixPlatform();
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    // The services for a control, with the spooler's reports.
    platform::Platform Services();

    // Adds a direct printer reached at `uri` (socket://, ipp://, ipps://, serial:, file:),
    // after those of printers.conf. False when the name is taken, in any letter case: it
    // keeps its printer. Throws std::invalid_argument, saying why, for a URI that names no
    // device.
    [[nodiscard]] bool AddDirectPrinter(const std::string& name, const std::string& uri);
    // When `printer` is written as a device URI, adds it as a direct printer of that name and
    // leaves the queues out (below); true if so. Throws std::invalid_argument, saying why,
    // for a URI that names no device.
    bool AddPrinterGivenByUri(const std::string& printer);
    // The status query in the printers' own language ("escpos" or "zpl", or "" for none)
    // that status asks of a direct printer whose URI names none. Throws
    // std::invalid_argument for another name.
    void SetStatusProbe(const std::string& probe);
    // Leaves the scheduler's queues out of the printer list, so that it is not asked: for a
    // program that prints to a device URI only, which no queue's name can be (a queue's name
    // has no '/'), and should not wait for the scheduler's answer.
    void LeaveOutQueues() noexcept;
    // The queues, then the direct printers, with their kind and URI.
    std::vector<PrinterDescription> DescribePrinters();
    // The lines of printers.conf that were skipped, as "FILE:LINE: reason".
    const std::vector<std::string>& configurationProblems() const noexcept { return configurationProblems_; }

    const codepage::TableCodePage& codePage() const noexcept { return codePage_; }
    // UTF-8 to and from the ANSI code page, for text that enters or leaves as UTF-8.
    const codepage::AnsiCharset& ansiCharset() const noexcept { return codePage_.ansiCharset(); }
    platform::ApplicationHost& applicationHost() noexcept { return ownHost_; }

    // The backend itself, for the programs built with it (its tests and tools).
    cups::CupsSpooler& spooler() noexcept { return *spooler_; }
    cups::CupsPrinterList& printers() noexcept { return *printers_; }

private:
    PosixPlatform(codepage::TableCodePage codePage, platform::Host* host);

    platform::ApplicationHost ownHost_;
    std::unique_ptr<cups::CupsSpooler> spooler_;
    std::unique_ptr<cups::CupsPrinterList> printers_;
    std::unique_ptr<direct::DirectSpooler> direct_;
    std::unique_ptr<combined::CombinedSpooler> combinedSpooler_;
    std::unique_ptr<combined::CombinedPrinterList> combinedPrinters_;
    std::vector<std::string> configurationProblems_;
    codepage::TableCodePage codePage_;
    platform::Host& host_;
};

} // namespace rawlet::posix
