#pragma once

#include "command_line.h"
#include "system_platform.h"

namespace rawlet::cli {

// Direct printers, which only Linux and macOS have.

// A device URI given as the printer becomes a direct printer of that name, so the control
// finds it like any other. A URI that names no device is a usage error.
void AddPrinterGivenByUri(const Options& options, SystemPlatform& system);

// Every printer's name, one a line; in the long form with its kind (queue or direct) and URI.
// A scheduler that does not answer is named on standard error, and fails the listing when
// nothing at all could be listed.
int ListPrinters(SystemPlatform& system, bool longForm);

// The lines of printers.conf that were skipped, on standard error.
void ReportConfigurationProblems(SystemPlatform& system);

} // namespace rawlet::cli
