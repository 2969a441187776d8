#pragma once

#include <rawlet/platform/printer_status.h>

#include "printers_conf.h"

namespace rawlet::direct {

// How the direct printer is now, from each source its kind has, in this order: the
// transport (the connection, and a printer port's own status), SNMP for socket:// hosts, IPP
// for ipp:// and ipps://, and the printer's own language only when asked (`probe`, else the
// URI's status=). Nothing goes into the print stream unless asked. Each source has a short
// deadline within the URI's timeout; one that does not answer is named, and leaves what it
// would have told unknown.
platform::PrinterStatus AskDirectStatus(const DirectPrinter& printer, DeviceUri::Probe probe);

} // namespace rawlet::direct
