#pragma once

#include "command_line.h"
#include "system_platform.h"

namespace rawlet::cli {

// Direct printers, which only Linux and macOS have.

// A device URI given as the printer becomes a direct printer of that name, so the control
// finds it like any other. A URI that names no device is a usage error.
void AddPrinterGivenByUri(const Options& options, SystemPlatform& system);

// Every printer, one a line: name, kind (queue or direct) and URI.
int ListPrintersLong(SystemPlatform& system);

// The lines of printers.conf that were skipped, on standard error.
void ReportConfigurationProblems(SystemPlatform& system);

} // namespace rawlet::cli
