#pragma once

#include "cli_platform.h"
#include "command_line.h"

namespace rawlet::cli {

// Each returns the process's exit status; control errors propagate as rawlet::Error.
int ListPrinters(CliPlatform& system);
int PrintFiles(const Options& options, CliPlatform& system);
int ResetPrinter(const Options& options, CliPlatform& system);
int ShowAbout(CliPlatform& system);

} // namespace rawlet::cli
