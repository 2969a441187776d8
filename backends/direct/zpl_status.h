#pragma once

#include <optional>

#include "fd_io.h"
#include "status_facts.h"

namespace rawlet::direct {

// Asks a ZPL printer for its state with the host status query (~HS), which it answers at
// once, even while paused or printing, over the open connection `fd` (a socket or a serial
// line). Returns what its answer tells, or nothing when no whole answer that parses came by
// `deadline`.
std::optional<StatusFacts> AskZpl(int fd, Clock::time_point deadline, const Interrupter* interrupter);

} // namespace rawlet::direct
