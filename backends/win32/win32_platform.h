#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>
#include <rawlet/printer_description.h>

namespace rawlet::direct {
class DirectSpooler;
}
namespace rawlet::combined {
class CombinedPrinterList;
class CombinedSpooler;
} // namespace rawlet::combined

namespace rawlet::win32 {

class Win32CodePage;
class Win32PrinterList;
class Win32Spooler;

// Everything a control needs on Windows: the print spooler's queues, followed by the direct
// printers of printers.conf (reached without a driver: see docs/direct-printers.md), the
// system's code pages, and a host. One bundle serves any number of controls, each with a host
// of its own if it has one; it must outlive them. This header includes no Windows header, so
// code that uses the bundle keeps names such as SetPrinterData free of winspool's macros.
class Win32Platform {
public:
    Win32Platform();
    ~Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    platform::Platform Services() { return Services(ownHost_); }
    platform::Platform Services(platform::Host& host);

    // The characters of the system's ANSI code page, for text that enters as UTF-8. Throws
    // codepage::UnsupportedCodePage when there are no tables for it.
    const codepage::AnsiCharset& ansiCharset();
    platform::ApplicationHost& applicationHost() noexcept { return ownHost_; }

    Win32Spooler& spooler() noexcept { return *spooler_; }

    // The spooler's queues, each with no URI (the spooler does not tell it), then the direct
    // printers with their kind and URI, then the attached USB printers that no direct printer
    // names, each named by its URI.
    std::vector<PrinterDescription> DescribePrinters();
    // Adds a direct printer reached at `uri` (socket://, serial:, file:, usb://), after those
    // of printers.conf. False when the name is taken, in any letter case: it keeps its
    // printer. Throws std::invalid_argument, saying why, for a URI that names no device this
    // system can reach.
    [[nodiscard]] bool AddDirectPrinter(const std::string& name, const std::string& uri);
    // When `printer` is written as a device URI, adds it as a direct printer of that name and
    // leaves the queues out; true if so. Throws std::invalid_argument, saying why, for a URI
    // that names no device this system can reach.
    bool AddPrinterGivenByUri(const std::string& printer);
    // The status query in the printers' own language ("escpos" or "zpl", or "" for none)
    // that status asks of a direct printer whose URI names none. Throws
    // std::invalid_argument for another name.
    void SetStatusProbe(const std::string& probe);
    // The lines of printers.conf that were skipped, as "FILE:LINE: reason".
    const std::vector<std::string>& configurationProblems() const noexcept { return configurationProblems_; }

private:
    std::unique_ptr<Win32Spooler> spooler_;
    std::unique_ptr<Win32PrinterList> printers_;
    std::unique_ptr<direct::DirectSpooler> direct_;
    std::unique_ptr<combined::CombinedSpooler> combinedSpooler_;
    std::unique_ptr<combined::CombinedPrinterList> combinedPrinters_;
    std::unique_ptr<Win32CodePage> codePage_;
    platform::ApplicationHost ownHost_;
    std::optional<codepage::AnsiCharset> charset_;
    std::vector<std::string> configurationProblems_;
};

} // namespace rawlet::win32
