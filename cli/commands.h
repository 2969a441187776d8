#pragma once

#include "command_line.h"
#include "system_platform.h"

namespace rawlet::cli {

// Each returns the process's exit status; control errors propagate as rawlet::Error.
int ListPrinters(SystemPlatform& system);
int PrintFiles(const Options& options, SystemPlatform& system);
int ResetPrinter(const Options& options, SystemPlatform& system);
int ShowAbout(SystemPlatform& system);

// The end of a printer listing: a scheduler that did not answer is named on standard error,
// and is a failure when nothing at all could be listed.
int ListingStatus(bool listedAny, SystemPlatform& system);

} // namespace rawlet::cli
