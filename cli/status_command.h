#pragma once

#include <optional>
#include <string>

#include <rawlet/system.h>

#include "command_line.h"

namespace rawlet::cli {

// Shows whether the printer (or each printer) is ready, and why not: exit status 0 when every
// one shown is ready, 1 when one is not.
int ShowStatus(const Options& options, System& system);

// "Receipts: not ready, stopped (paused), accepting jobs, 2 jobs waiting: Out of paper
// [scheduler; 3 ms]": the facts, then where they came from and how long they took.
std::string StatusLine(const platform::PrinterStatus& status);

// The status of the printer a command prints to, asked as `status -d` asks it.
std::optional<platform::PrinterStatus> StatusBeforePrinting(System& system, const Options& options);

} // namespace rawlet::cli
