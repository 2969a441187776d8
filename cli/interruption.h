#pragma once

#include <memory>

#include <rawlet/platform/spooler.h>

namespace rawlet::cli {

// While it lives, an interruption (SIGINT, SIGTERM or SIGHUP; Ctrl-C or Ctrl-Break on
// Windows) cancels the documents in progress and ends the process with the system's usual
// status for it (128 + the signal's number): a command cut short never leaves a job waiting
// for bytes that will not come, nor prints half of one. Create it before any other thread.
class Interruption {
public:
    explicit Interruption(platform::SpoolerReports& reports);
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // Waits for the process to end when an interruption came, so that an error the
    // cancellation caused is not reported as the command's own.
    void HoldIfCaught() const;

private:
    struct Watcher;
    std::unique_ptr<Watcher> watcher_;
};

} // namespace rawlet::cli
