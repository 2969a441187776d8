#pragma once

#include <optional>
#include <string>

#include <rawlet/platform/printer_status.h>

#include "winspool_calls.h"

namespace rawlet::win32 {

// A queue's status as the Linux queues give it: the spooler's status bits and "work offline"
// as IPP printer-state-reasons keywords, and the words for them as its message.
platform::PrinterStatus StatusOfQueue(const QueueFacts& queue);

// How the queue named `name` (letter case free) is now; nothing when there is no such queue
// or the spooler does not tell.
std::optional<platform::PrinterStatus> QueueStatus(const std::string& name, const WinspoolCalls& calls);

} // namespace rawlet::win32
