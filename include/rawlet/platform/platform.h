#pragma once

#include <rawlet/platform/code_page.h>
#include <rawlet/platform/host.h>
#include <rawlet/platform/printer_list.h>
#include <rawlet/platform/spooler.h>

namespace rawlet::platform {

// The services a control instance works through. The control does not own them; they
// outlive it.
struct Platform {
    Spooler& spooler;
    PrinterList& printers;
    const CodePage& codePage;
    Host& host;
    // Optional: null where the backend offers no reports. The control never uses it.
    SpoolerReports* reports = nullptr;
};

} // namespace rawlet::platform
