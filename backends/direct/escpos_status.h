#pragma once

#include <optional>

#include "fd_io.h"
#include "status_facts.h"

namespace rawlet::direct {

// Asks an ESC/POS printer for its state with the real-time status queries (DLE EOT 1, 2 and
// 4), which it answers even while offline or in the middle of a job, over the open
// connection `fd` (a socket or a serial line). Returns what the fitting answers tell, or
// nothing when no query got one by `deadline`.
std::optional<StatusFacts> AskEscPos(int fd, Clock::time_point deadline, const Interrupter* interrupter);

} // namespace rawlet::direct
