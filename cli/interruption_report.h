#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace rawlet::cli {

// What every system's interruption does once it has caught one, apart from how it catches
// it: abandon the job within a bound, then wait, within the same bound, for the call on the
// printer to fail and say how much of the job the printer had.
class InterruptionReport {
public:
    using Clock = std::chrono::steady_clock;

    // How long the spooler may take to abandon the documents, and the call on the printer to
    // say what it had, before the process ends anyway: a spooler that stops answering must
    // not keep an interrupted command alive.
    static constexpr auto kAbandonBound = std::chrono::milliseconds(1500);

    // A call on the printer begins or ends.
    void Enter();
    void Leave();
    // The call on the printer failed, saying `why`, after the interruption.
    void Report(const std::string& why);

    // Runs `cancel` on a helper thread, then waits for the call on the printer to report or
    // end, each within kAbandonBound; the line to show: the reason, or "interrupted". A
    // helper still blocked is left to end with the process, which ends soon after.
    std::string Abandon(const std::function<void()>& cancel);

private:
    std::mutex mutex_; // guards the calls on the printer and the reason
    std::condition_variable changed_;
    int callsOnThePrinter_ = 0;
    std::optional<std::string> reason_; // what the call that failed said
};

// The line a failed call on the printer gives.
std::string ReasonOf(const std::exception_ptr& failure);

} // namespace rawlet::cli
