#pragma once

#include <string>
#include <string_view>

#include "fd_io.h"

namespace rawlet::direct {

// The exchange of a status query in a printer's own language over an open connection (a
// socket or a serial line), borrowed from its device: nothing here closes it, and no call
// waits past its deadline.

// Reads and drops what the printer sent before a query (its answers to earlier ones, which
// came too late, or unasked chatter), so that only the answer to the next query is read.
void DiscardUnread(int fd);

// Sends every byte of a query by `deadline`; false when the printer takes them too slowly,
// the wait is interrupted, or the connection fails.
bool SendQuery(int fd, std::string_view query, Clock::time_point deadline, const Interrupter* interrupter);

// Appends to `answer` what the printer sends, once something has come, waiting until
// `deadline` at most. Returns false when nothing more can come by then: the deadline, an
// interruption, the printer's end of the connection, or a connection that cannot be read
// (a device opened for writing only).
bool ReceiveMore(int fd, std::string& answer, Clock::time_point deadline, const Interrupter* interrupter);

} // namespace rawlet::direct
