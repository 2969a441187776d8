#pragma once

#include "command_line.h"

namespace rawlet::cli {

// `rawlet serve`: the bridge for web pages, in the foreground until SIGINT or SIGTERM. The
// origins come from --allow and bridge.conf; with none, nothing could print, and it says so.
int Serve(const Options& options);

} // namespace rawlet::cli
