#pragma once

// What a followed job came to, and the subscription that hears how it ended: the job types
// that need no libcups, so that the direct printers' contract, which names them, builds on
// every system.

#include <chrono>
#include <string>

#include <rawlet/outcome.h>

namespace rawlet::ipp {

using Clock = std::chrono::steady_clock;

// A printer subscription to job events, pulled with Get-Notifications (ippget): its events
// outlive the jobs they tell of, so they tell how a job ended that its keeper has since
// forgotten. Its lease is short, renewed while a job is followed, and it is cancelled when
// the follower is done; one a program left behind ends with its lease.
struct Subscription {
    int id = 0; // none
    Clock::time_point made;
};
constexpr std::chrono::seconds kSubscriptionLease{120};

// What became of a followed job.
struct JobEnd {
    Outcome outcome = Outcome::unknown; // printed, notPrinted or unknown
    // For a job not printed or unknown: what happened, naming the job, such as "job
    // Receipts-7 did not print: printer stopped: out of paper; it was cancelled and will not
    // print".
    std::string reason;
};

} // namespace rawlet::ipp
