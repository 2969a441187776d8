#include "interruption.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <windows.h>

#include "interruption_report.h"

namespace rawlet::cli {

namespace {

// The exit status of each console event, as the signal that stands for it on Linux gives:
// Ctrl-C and Ctrl-Break interrupt (SIGINT), closing the console hangs up (SIGHUP), and the
// user logging off or the system shutting down terminates (SIGTERM).
UINT SignalOf(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return 2;
    case CTRL_CLOSE_EVENT:
        return 1;
    default:
        return 15;
    }
}

// In one write, while the main thread may be using standard error's stream.
void Say(const std::string& line)
{
    const std::string text = "rawlet: " + line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
              nullptr);
}

} // namespace

// The console calls the handler on a thread of its own, which may use the spooler and wait:
// it abandons the job, waits within the bound for the call on the printer to say how much the
// printer had, says it, and ends the process with the status of the event's signal. The
// process ends at once, as _exit does on Linux, since the main thread may still be in a call:
// the device's interruption keeps what it had not sent from being delivered.
struct Interruption::Watcher {
    explicit Watcher(std::function<void()> cancelJob)
    {
        cancel = std::move(cancelJob);
        active = true;
        SetConsoleCtrlHandler(Handle, TRUE);
    }

    // Waits for a handler already abandoning the job, which ends the process: the command
    // must not destroy the printer that `cancel` is using.
    ~Watcher()
    {
        {
            std::lock_guard lock(gate);
            active = false;
        }
        SetConsoleCtrlHandler(Handle, FALSE);
    }

    // The gate is held until the process ends, so an event that comes meanwhile waits for it.
    static BOOL WINAPI Handle(DWORD event)
    {
        std::unique_lock lock(gate);
        if (!active)
            return FALSE;
        caught = true;
        Say(report.Abandon(cancel));
        TerminateProcess(GetCurrentProcess(), 128U + SignalOf(event));
        return TRUE;
    }

    static inline std::function<void()> cancel; // set before the handler is
    static inline std::mutex gate;              // guards `active`, and is held by a handler at work
    static inline bool active = false;
    static inline std::atomic<bool> caught = false;
    static inline InterruptionReport report;
};

Interruption::Interruption(std::function<void()> cancel)
    : watcher_(std::make_unique<Watcher>(std::move(cancel)))
{}

Interruption::~Interruption() = default;

void Interruption::During(const std::function<void()>& call) const
{
    Watcher::report.Enter();
    try {
        call();
    } catch (...) {
        HoldIfCaught(ReasonOf(std::current_exception()));
        Watcher::report.Leave();
        throw;
    }
    Watcher::report.Leave();
}

void Interruption::HoldIfCaught(const std::string& reason) const
{
    if (!Watcher::caught)
        return;
    Watcher::report.Report(reason);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace rawlet::cli
