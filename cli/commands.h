#pragma once

#include "command_line.h"
#include "system_platform.h"

namespace rawlet::cli {

// Each returns the process's exit status; control errors propagate as rawlet::Error.
int PrintFiles(const Options& options, SystemPlatform& system);
int ResetPrinter(const Options& options, SystemPlatform& system);
int ShowAbout(SystemPlatform& system);

} // namespace rawlet::cli
