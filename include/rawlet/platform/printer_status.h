#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rawlet::platform {

// What a printer says of itself when asked: a queue through its scheduler, a direct printer
// through whatever answers for it (its connection, its port, SNMP, IPP, or its own printer
// language when asked). Each fact names where it came from; none is guessed: a source that
// does not answer leaves what it would have told unknown.
struct PrinterStatus {
    enum class State { Unknown, Idle, Processing, Stopped };

    std::string name;             // as the spooler spells it
    bool answers = false;         // the printer, or the scheduler behind its queue, answered
    bool ready = false;           // reachable, and nothing known keeps a job from printing
    State state = State::Unknown; // Unknown where nothing could tell
    bool acceptingJobs = false;   // new jobs are taken (they may still wait)
    // IPP printer-state-reasons keywords, with their severity suffix where the source gives
    // one: "media-empty-error", "door-open-error", "offline-report", "media-low-report", ...
    std::vector<std::string> reasons;
    std::string message;           // the printer's or the operator's own words; may be empty
    std::optional<int> queuedJobs; // jobs waiting; none where nothing queues them

    // Where the facts came from ("scheduler", "transport", "usb", "snmp", "ipp", "escpos",
    // "zpl"), and the sources asked that gave no answer.
    std::vector<std::string> sources;
    std::vector<std::string> unanswered;
    // From the printer's IEEE 1284 device ID (MFG, MDL, CMD), where one is known.
    std::string manufacturer;
    std::string model;
    std::string commandSet;
    std::chrono::milliseconds elapsed{0}; // how long the answer took
};

// "idle", "printing", "stopped" or "state unknown", as the rawlet command shows a state.
inline const char* StateName(PrinterStatus::State state)
{
    switch (state) {
    case PrinterStatus::State::Idle:
        return "idle";
    case PrinterStatus::State::Processing:
        return "printing";
    case PrinterStatus::State::Stopped:
        return "stopped";
    default:
        return "state unknown";
    }
}

// Whether a state reason keeps jobs from printing. IPP marks the harmless ones with a
// "-report" or "-warning" suffix; a reason without one is an error. A printer that does not
// answer is the exception: "offline-report" (as CUPS reports it) means nothing prints.
inline bool StopsPrinting(std::string_view reason)
{
    const auto endsWith = [&](std::string_view suffix) {
        return reason.size() >= suffix.size() && reason.substr(reason.size() - suffix.size()) == suffix;
    };
    if (reason.substr(0, 7) == "offline")
        return true;
    for (const std::string_view harmless : {"none", "connecting-to-device", "cups-waiting-for-job-completed"})
        if (reason == harmless)
            return false;
    return !endsWith("-report") && !endsWith("-warning");
}

} // namespace rawlet::platform
