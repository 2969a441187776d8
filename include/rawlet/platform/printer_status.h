#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rawlet::platform {

// What a printer says of itself when asked: a queue through its scheduler, a device through
// whatever it answers (a bare socket device only that it answers; one that speaks IPP, its
// own state).
struct PrinterStatus {
    enum class State { Unknown, Idle, Processing, Stopped };

    std::string name;                 // as the spooler spells it
    bool answers = false;             // the printer, or the scheduler behind its queue, answered
    bool ready = false;               // a job sent now would print without anyone's help
    State state = State::Unknown;     // Unknown where the printer cannot tell
    bool acceptingJobs = false;       // new jobs are taken (they may still wait)
    std::vector<std::string> reasons; // IPP state reasons: "media-empty", "offline", "paused", ...
    std::string message;              // the printer's or the operator's own words; may be empty
    std::optional<int> queuedJobs;    // jobs waiting; none where nothing queues them
};

} // namespace rawlet::platform
