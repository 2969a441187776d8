#pragma once

// The control as an application on Linux uses it: over the CUPS spooler and printer list,
// with the code-page tables, errors thrown to the caller.

#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "platform/codepage/table_code_page.h"
#include "platform/platform.h"

namespace rawlet::testing {

class ThrowingHost : public platform::Host {
public:
    void PropertyChanged(std::string_view) override {}
    bool AmbientUserMode() override { return true; }
    [[noreturn]] void RaiseError(const Error& error) override { throw error; }
    void SetControlSize(int, int) override {}
    void ShowAboutDialog() override {}
};

struct CupsApplication {
    cups::CupsSpooler spooler;
    cups::CupsPrinterList printers;
    platform::codepage::TableCodePage codePage{{1252, 437}};
    ThrowingHost host;

    platform::Platform Services() { return {spooler, printers, codePage, host}; }
};

} // namespace rawlet::testing
