#pragma once

#include "code_page.h"
#include "host.h"
#include "printer_list.h"
#include "spooler.h"

namespace rawlet::platform {

// The services a control instance works through. The control does not own them; they
// outlive it.
struct Platform {
    Spooler& spooler;
    PrinterList& printers;
    const CodePage& codePage;
    Host& host;
};

} // namespace rawlet::platform
