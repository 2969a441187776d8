#include "interruption.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <exception>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "interruption_report.h"
#include "unique_fd.h"

namespace rawlet::cli {

namespace {

constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr char kStopWatching = 0;

// What the signal handler may touch: async-signal-safe state only.
volatile std::sig_atomic_t caughtSignal = 0;
int wakeWriteEnd = -1;

extern "C" void OnSignal(int signal)
{
    const int savedErrno = errno;
    caughtSignal = signal;
    const char byte = static_cast<char>(signal);
    (void)!write(wakeWriteEnd, &byte, 1);
    errno = savedErrno;
}

// A signal the parent chose to ignore (nohup, a shell's background job) stays ignored.
bool Ignored(int signal)
{
    struct sigaction action {};
    return sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// In one write, while the main thread may be using standard error's stream.
void Say(const std::string& line)
{
    const std::string text = "rawlet: " + line + "\n";
    (void)!write(STDERR_FILENO, text.data(), text.size());
}

} // namespace

// libcups may not be called from a signal handler, so the handler only writes the signal's
// number to a pipe, and a thread of its own reads it and abandons the documents; it acts even
// while the command is stuck reading its input, since the handler restarts that read.
struct Interruption::Watcher {
    explicit Watcher(std::function<void()> cancelJob) : cancel(std::move(cancelJob))
    {
        int ends[2];
        if (pipe(ends) != 0)
            return;
        readEnd.Reset(ends[0]);
        writeEnd.Reset(ends[1]);
        fcntl(writeEnd.get(), F_SETFL, O_NONBLOCK); // a handler never blocks on a full pipe
        wakeWriteEnd = writeEnd.get();
        caughtSignal = 0;
        thread = std::thread([this] { Watch(); });
        for (const int signal : kWatchedSignals)
            Handle(signal);
    }

    // Woken through the pipe rather than polled, so that ending costs the command nothing. A
    // signal that comes after this point meets the previous action, as in any program.
    ~Watcher()
    {
        for (const auto& [signal, action] : previous)
            if (signal != 0)
                sigaction(signal, &action, nullptr);
        if (!thread.joinable())
            return;
        (void)!write(writeEnd.get(), &kStopWatching, 1);
        thread.join();
        wakeWriteEnd = -1;
    }

    void Handle(int signal)
    {
        if (Ignored(signal))
            return;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        auto& [saved, savedAction] = previous[handled++];
        if (sigaction(signal, &action, &savedAction) == 0)
            saved = signal;
    }

    void Watch()
    {
        char byte = kStopWatching;
        while (read(readEnd.get(), &byte, 1) < 0 && errno == EINTR) {
        }
        if (byte == kStopWatching)
            return;
        Say(report.Abandon(cancel));
        _exit(128 + byte);
    }

    std::function<void()> cancel;
    InterruptionReport report;
    posixapi::UniqueFd readEnd;
    posixapi::UniqueFd writeEnd;
    std::pair<int, struct sigaction> previous[std::size(kWatchedSignals)] = {};
    std::size_t handled = 0;
    std::thread thread;
};

Interruption::Interruption(std::function<void()> cancel)
    : watcher_(std::make_unique<Watcher>(std::move(cancel)))
{}

Interruption::~Interruption() = default;

void Interruption::During(const std::function<void()>& call) const
{
    watcher_->report.Enter();
    try {
        call();
    } catch (...) {
        HoldIfCaught(ReasonOf(std::current_exception()));
        watcher_->report.Leave();
        throw;
    }
    watcher_->report.Leave();
}

void Interruption::HoldIfCaught(const std::string& reason) const
{
    if (caughtSignal == 0)
        return;
    watcher_->report.Report(reason);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace rawlet::cli
