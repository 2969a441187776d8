#pragma once

#include <rawlet/error.h>
#include <rawlet/system.h>

#include "command_line.h"

namespace rawlet::cli {

// The exit status of a failed job: 3 when it may print (its outcome is unknown), 1 otherwise.
int ExitStatus(const Error& error);

// Each returns the process's exit status; control errors propagate as rawlet::Error.
int PrintFiles(const Options& options, System& system);
int ResetPrinter(const Options& options, System& system);
int ShowAbout(System& system);

} // namespace rawlet::cli
