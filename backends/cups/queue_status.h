#pragma once

#include <optional>
#include <string>

#include <rawlet/platform/printer_status.h>

namespace rawlet::cups {

// How the scheduler says the queue (or class) `name` is, letter case free; nothing when it
// has no such queue or does not answer.
std::optional<platform::PrinterStatus> QueueStatus(const std::string& name);

} // namespace rawlet::cups
