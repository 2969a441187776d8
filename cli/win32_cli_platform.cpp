// The command's system on Windows: winspool, and the system's code pages.
#include <iostream>
#include <optional>

#include <windows.h>

#include "about_printout.h"
#include "cli_platform.h"
#include "platform/application_host.h"
#include "win32_code_page.h"
#include "win32_printer_list.h"
#include "win32_spooler.h"

namespace rawlet::cli {

namespace {

class Win32CliPlatform : public CliPlatform {
public:
    Win32CliPlatform()
    {
        host_.onAbout = [] { PrintAbout(std::cout); };
    }

    platform::Platform Services() override { return {spooler_, printers_, codePage_, host_}; }

    const platform::codepage::AnsiCharset& ansiCharset() override
    {
        if (!charset_)
            charset_.emplace(static_cast<int>(GetACP()));
        return *charset_;
    }

    void AbandonDocuments() override { spooler_.AbortDocuments(); }

    // winspool hands a finished document over without telling whether it printed; it does
    // tell when it refuses one.
    bool CanFollowJobs() const override { return false; }
    std::vector<std::string> JobProblems(bool) override
    {
        if (spooler_.RefusedDocuments() == 0)
            return {};
        return {std::to_string(spooler_.RefusedDocuments()) + " document(s) refused by the spooler"};
    }

private:
    win32::Win32Spooler spooler_;
    win32::Win32PrinterList printers_;
    win32::Win32CodePage codePage_;
    platform::ApplicationHost host_;
    std::optional<platform::codepage::AnsiCharset> charset_;
};

} // namespace

std::unique_ptr<CliPlatform> CliPlatform::Create() { return std::make_unique<Win32CliPlatform>(); }

} // namespace rawlet::cli
