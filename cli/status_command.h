#pragma once

#include <rawlet/system.h>

#include "command_line.h"

namespace rawlet::cli {

// Shows whether the printer (or each printer) is ready, and why not: exit status 0 when every
// one shown is ready, 1 when one is not.
int ShowStatus(const Options& options, System& system);

} // namespace rawlet::cli
