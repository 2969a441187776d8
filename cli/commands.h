#pragma once

#include <rawlet/system.h>

#include "command_line.h"

namespace rawlet::cli {

// Each returns the process's exit status; control errors propagate as rawlet::Error.
int PrintFiles(const Options& options, System& system);
int ResetPrinter(const Options& options, System& system);
int ShowAbout(System& system);

} // namespace rawlet::cli
