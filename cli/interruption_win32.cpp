#include "interruption.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <windows.h>

namespace rawlet::cli {

// The console calls the handler on a thread of its own, where the spooler may be used; the
// default handler that follows ends the process.
struct Interruption::Watcher {
    explicit Watcher(platform::SpoolerReports& reports)
    {
        active = &reports;
        SetConsoleCtrlHandler(Handle, TRUE);
    }

    ~Watcher()
    {
        SetConsoleCtrlHandler(Handle, FALSE);
        active = nullptr;
    }

    static BOOL WINAPI Handle(DWORD)
    {
        caught = true;
        if (platform::SpoolerReports* reports = active)
            reports->AbandonDocuments();
        return FALSE;
    }

    static inline std::atomic<platform::SpoolerReports*> active = nullptr;
    static inline std::atomic<bool> caught = false;
};

Interruption::Interruption(platform::SpoolerReports& reports) : watcher_(std::make_unique<Watcher>(reports))
{}

Interruption::~Interruption() = default;

void Interruption::HoldIfCaught() const
{
    while (Watcher::caught)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace rawlet::cli
