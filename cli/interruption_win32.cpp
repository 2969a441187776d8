#include "interruption.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <windows.h>

namespace rawlet::cli {

// The console calls the handler on a thread of its own, where the spooler may be used; the
// default handler that follows ends the process.
struct Interruption::Watcher {
    explicit Watcher(std::function<void()> cancelJob)
    {
        cancel = std::move(cancelJob);
        active = true;
        SetConsoleCtrlHandler(Handle, TRUE);
    }

    ~Watcher()
    {
        SetConsoleCtrlHandler(Handle, FALSE);
        active = false;
    }

    static BOOL WINAPI Handle(DWORD)
    {
        caught = true;
        if (active)
            cancel();
        return FALSE;
    }

    static inline std::function<void()> cancel; // set before the handler is, cleared after
    static inline std::atomic<bool> active = false;
    static inline std::atomic<bool> caught = false;
};

Interruption::Interruption(std::function<void()> cancel)
    : watcher_(std::make_unique<Watcher>(std::move(cancel)))
{}

Interruption::~Interruption() = default;

// The console's default handler ends the process as soon as the job is cancelled.
void Interruption::During(const std::function<void()>& call) const { call(); }

void Interruption::HoldIfCaught(const std::string&) const
{
    while (Watcher::caught)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace rawlet::cli
