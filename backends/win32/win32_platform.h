#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>
#include <rawlet/printer_description.h>

namespace rawlet::win32 {

class Win32CodePage;
class Win32PrinterList;
class Win32Spooler;

// Everything a control needs on Windows: the print spooler, its printers, the system's code
// pages, and a host. One bundle serves any number of controls, each with a host of its own
// if it has one; it must outlive them. This header includes no Windows header, so code
// that uses the bundle keeps names such as SetPrinterData free of winspool's macros.
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

    // The spooler's printers, each a queue whose URI the spooler does not tell.
    std::vector<PrinterDescription> DescribePrinters();
    // Windows prints through its spooler only: a printer given by a device URI, or a direct
    // printer, is refused with std::invalid_argument.
    bool AddPrinterGivenByUri(const std::string& printer);
    bool AddDirectPrinter(const std::string& name, const std::string& uri);
    void SetStatusProbe(const std::string& probe);
    const std::vector<std::string>& configurationProblems() const noexcept { return noProblems_; }

private:
    std::unique_ptr<Win32Spooler> spooler_;
    std::unique_ptr<Win32PrinterList> printers_;
    std::unique_ptr<Win32CodePage> codePage_;
    platform::ApplicationHost ownHost_;
    std::optional<codepage::AnsiCharset> charset_;
    std::vector<std::string> noProblems_;
};

} // namespace rawlet::win32
