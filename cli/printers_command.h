#pragma once

#include <rawlet/system.h>

namespace rawlet::cli {

// Every printer's name, one a line; in the long form with its kind (queue or direct) and URI.
// A scheduler that does not answer is named on standard error, and fails the listing when
// nothing at all could be listed.
int ListPrinters(System& system, bool longForm);

// The lines of printers.conf that were skipped, on standard error.
void ReportConfigurationProblems(const System& system);

} // namespace rawlet::cli
