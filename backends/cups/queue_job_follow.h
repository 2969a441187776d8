#pragma once

#include <mutex>
#include <optional>

#include "cups_spooler.h"
#include "interrupter.h"
#include "shared_ipp.h"
#include "unique_fd.h"

namespace rawlet::cups {

// A connection to the scheduler for following jobs, whose waits another thread can end at
// once: a question in progress fails, as does every later one, and so does a pause.
class JobWatch {
public:
    JobWatch() = default;
    JobWatch(const JobWatch&) = delete;
    JobWatch& operator=(const JobWatch&) = delete;

    // Connects to the scheduler; an interruption ends the attempt too.
    void Connect();
    // From any thread.
    void Interrupt() noexcept;
    bool interrupted() const noexcept { return interrupter_.interrupted(); }

    // Sends `request`, which it takes, to the scheduler; null when no answer came.
    ipp::Ipp Ask(ipp_t* request);
    // Waits `interval`; false when interrupted.
    bool Pause(std::chrono::milliseconds interval);

private:
    void Watch();

    posixapi::Interrupter interrupter_;
    std::mutex mutex_; // held only to replace the watched descriptor or shut it, never while waiting
    ipp::Http http_;
    int cancelConnect_ = 0;      // libcups's flag to end a connection attempt
    posixapi::UniqueFd watched_; // our own descriptor of http_'s socket, which Interrupt() shuts
};

// Follows `job` until the scheduler says it completed, or it can no longer complete, as
// ipp::FollowJob does: `watch`, connected, asks, and ends the wait when interrupted; `deadline`, when
// given, bounds it. `onState`, when given, hears the job's state each time it is asked, as a
// line such as "job Q-7 processing".
using ipp::JobStateListener;
ipp::JobEnd FollowJob(const CreatedJob& job, JobWatch& watch,
                      std::optional<ipp::Clock::time_point> deadline = {},
                      const JobStateListener& onState = nullptr);
// The same, for a wait no one interrupts.
ipp::JobEnd FollowJob(const CreatedJob& job);

} // namespace rawlet::cups
