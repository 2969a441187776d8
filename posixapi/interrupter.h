#pragma once

#include <atomic>
#include <chrono>

#include "unique_fd.h"

namespace rawlet::posixapi {

using Clock = std::chrono::steady_clock;

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

} // namespace rawlet::posixapi
