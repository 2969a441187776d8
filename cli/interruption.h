#pragma once

#include <functional>
#include <memory>
#include <string>

namespace rawlet::cli {

// While it lives, an interruption (SIGINT, SIGTERM or SIGHUP; Ctrl-C or Ctrl-Break on
// Windows) calls `cancel` (on a thread of its own, so it must be safe there: Printer::Cancel
// is) and ends the process with the system's usual status for it (128 + the signal's
// number): a command cut short never leaves a job waiting for bytes that will not come, nor
// prints half of one.
class Interruption {
public:
    explicit Interruption(std::function<void()> cancel);
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // Runs a call on the printer. An interruption that comes during it waits, within its
    // bound, for the call to fail, and shows the reason on standard error: how much of the
    // job the printer had. One that comes elsewhere, as the command reads its input, says
    // "interrupted" and ends the process at once.
    void During(const std::function<void()>& call) const;

    // Waits for the process to end when an interruption came, so that an error the
    // cancellation caused is not reported as the command's own; `reason`, if any, is what
    // the interruption shows.
    void HoldIfCaught(const std::string& reason = {}) const;

private:
    struct Watcher;
    std::unique_ptr<Watcher> watcher_;
};

} // namespace rawlet::cli
