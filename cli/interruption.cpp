#include "interruption.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace rawlet::cli {

// libcups may not be called from a signal handler, so the signals are blocked and a thread
// of its own waits for them; it acts even while the command is stuck reading its input.
// Threads started later inherit the blocked signals.
struct Interruption::Watcher {
    explicit Watcher(platform::SpoolerReports& spoolerReports) : reports(spoolerReports), wake(SIGRTMIN)
    {
        sigemptyset(&signals);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            if (!Ignored(signal))
                sigaddset(&signals, signal);
        sigaddset(&signals, wake);
        pthread_sigmask(SIG_BLOCK, &signals, &previousMask);
        thread = std::thread([this] { Watch(); });
    }

    // Woken by a signal of its own rather than polled, so that ending costs the command
    // nothing. A signal that comes after this point meets the default action, as in any
    // program.
    ~Watcher()
    {
        stopping = true;
        pthread_kill(thread.native_handle(), wake);
        thread.join();
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    }

    // A signal the parent chose to ignore (nohup, a shell's background job) stays ignored.
    static bool Ignored(int signal)
    {
        struct sigaction action {};
        return sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
    }

    void Watch()
    {
        while (!stopping) {
            const int signal = sigwaitinfo(&signals, nullptr);
            if (signal <= 0 || signal == wake)
                continue;
            caught = true;
            reports.AbandonDocuments();
            _exit(128 + signal);
        }
    }

    platform::SpoolerReports& reports;
    const int wake; // the watcher's own signal, which no user sends
    sigset_t signals;
    sigset_t previousMask;
    std::atomic<bool> stopping = false;
    std::atomic<bool> caught = false;
    std::thread thread;
};

Interruption::Interruption(platform::SpoolerReports& reports) : watcher_(std::make_unique<Watcher>(reports))
{}

Interruption::~Interruption() = default;

void Interruption::HoldIfCaught() const
{
    while (watcher_->caught)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace rawlet::cli
