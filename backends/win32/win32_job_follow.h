#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include <rawlet/platform/spooler.h>

#include "winspool_calls.h"

namespace rawlet::win32 {

using Clock = std::chrono::steady_clock;

// A job whose document the spooler accepted.
struct QueueJob {
    std::string printer;
    DWORD id = 0;
};

// "Receipts-7": the job as the spooler numbers it on its queue.
std::string JobName(const QueueJob& job);

struct FollowRules {
    std::optional<Clock::time_point> deadline; // none: until the job ends
    HANDLE interruption = nullptr;             // an event that, once set, ends the wait at once
    std::function<void(const std::string& line)> onState;
};

// Follows the job until it has printed, stopped or left the spooler, or the wait ends.
// A job stopped by its printer (an error, offline, out of paper, blocked, needing attention)
// is deleted, so that it does not print after it was said not to. A job the spooler no
// longer keeps was delivered once it was seen going to the printer's port (or where the
// spooler hands jobs on as they end); the spooler does not tell whether it printed. One that
// left unseen, or was deleted by someone else, is not called delivered.
platform::DocumentOutcome FollowJob(const QueueJob& job, const FollowRules& rules,
                                    const WinspoolCalls& calls);

} // namespace rawlet::win32
