#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "unique_fd.h"

namespace rawlet::direct {

using Clock = std::chrono::steady_clock;

// "connection refused": the system's text for an errno value, as a reason in a sentence.
std::string Reason(int error);
std::string TimedOut(std::chrono::seconds timeout);

// Wakes a device's waits from another thread, as an interruption does: every wait that is
// given it returns ECANCELED at once, then and afterwards.
class Interrupter {
public:
    Interrupter();
    Interrupter(const Interrupter&) = delete;
    Interrupter& operator=(const Interrupter&) = delete;

    void Interrupt() noexcept;
    bool interrupted() const noexcept { return interrupted_; }
    int fd() const noexcept { return wake_.get(); } // readable once interrupted

private:
    UniqueFd wake_;
    UniqueFd signal_;
    std::atomic<bool> interrupted_ = false;
};

// Waits until `fd` is ready for `events` (poll's), until `deadline` at the latest. Returns 0
// when ready, ETIMEDOUT, ECANCELED when `interrupter` was interrupted, or another errno value.
int WaitFor(int fd, short events, Clock::time_point deadline, const Interrupter* interrupter);
// Sleeps until `until`, or less when interrupted; returns ECANCELED when interrupted, else 0.
int Pause(Clock::time_point until, const Interrupter* interrupter);

// The two calls a write loop makes, apart from the loop, so that devices with odd answers
// (a driver without poll, which says ready and then takes nothing) can be tried.
struct WriteCalls {
    std::function<ssize_t(std::string_view bytes)> write;        // write(2)'s result and errno
    std::function<int(Clock::time_point deadline)> waitWritable; // WaitFor's result
    std::function<int(Clock::time_point until)> pause;           // Pause's result
};
WriteCalls DescriptorCalls(int fd, const Interrupter* interrupter);

// Writes every byte, failing only when the device takes no byte for `timeout` (a stall), is
// interrupted or fails. On failure returns false with the reason in `failure`.
bool WriteAll(const WriteCalls& calls, std::string_view bytes, std::chrono::seconds timeout,
              std::string& failure);
bool WriteAll(int fd, std::string_view bytes, std::chrono::seconds timeout, const Interrupter* interrupter,
              std::string& failure);

} // namespace rawlet::direct
