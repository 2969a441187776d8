#pragma once

#include <memory>
#include <optional>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/platform/application_host.h>
#include <rawlet/platform/platform.h>

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

private:
    std::unique_ptr<Win32Spooler> spooler_;
    std::unique_ptr<Win32PrinterList> printers_;
    std::unique_ptr<Win32CodePage> codePage_;
    platform::ApplicationHost ownHost_;
    std::optional<codepage::AnsiCharset> charset_;
};

} // namespace rawlet::win32
