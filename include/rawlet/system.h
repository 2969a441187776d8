#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>
#include <rawlet/platform/printer_status.h>
#include <rawlet/printer_description.h>

namespace rawlet {

class Printer;

// The printers of this system, with the backend it has: on Linux and macOS the scheduler's
// queues (CUPS_SERVER chooses the scheduler) followed by the direct printers of
// printers.conf (docs/direct-printers.md); on Windows the spooler's printers. The code pages
// follow the system (on Linux and macOS the locale, or RAWLET_ANSI_CODEPAGE /
// RAWLET_OEM_CODEPAGE). It must outlive the printers and controls that use it.
//
//     rawlet::System system;
//     rawlet::Printer receipt(system, "Receipts");
class System {
public:
    // Throws codepage::UnsupportedCodePage when the system's code pages have no tables.
    System();
    ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // The queues, then the direct printers, with their kind and URI.
    std::vector<PrinterDescription> Printers();
    // How the printer named `nameOrUri` (letter case free), or the device at that URI, is
    // now; nothing when there is no such printer or it cannot be asked. `probe` ("escpos" or
    // "zpl") asks a direct printer in its own language too, as its URI's status= does: the
    // query's bytes are print data to a printer of another language. Throws
    // std::invalid_argument for a device URI that names no device, or another probe.
    std::optional<platform::PrinterStatus> Status(const std::string& nameOrUri,
                                                  const std::string& probe = "");
    // Nothing when the spooler answers; otherwise one line saying which one was tried and
    // why it cannot be reached.
    std::optional<std::string> Unreachable();
    // Whether a printer's jobs can be followed until they have printed (JobOptions::wait).
    bool CanFollowJobs();

    // Adds a direct printer reached at `uri` (socket://, ipp://, ipps://, serial:, file:)
    // after those of printers.conf, for this System and the printers made with it. False
    // when the name is taken, in any letter case. Throws std::invalid_argument, saying why,
    // for a URI that names no device, and where there are no direct printers (Windows).
    bool AddDirectPrinter(const std::string& name, const std::string& uri);
    // The lines of printers.conf that were skipped, as "FILE:LINE: reason".
    const std::vector<std::string>& configurationProblems() const;

    // UTF-8 to and from the ANSI code page. Throws codepage::UnsupportedCodePage when there
    // are no tables for it.
    const codepage::AnsiCharset& ansiCharset();

    // The services for a control (rawlet::Rawlet), with their host.
    platform::Platform Services();
    platform::ApplicationHost& applicationHost() noexcept;

private:
    friend class Printer;
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

} // namespace rawlet
