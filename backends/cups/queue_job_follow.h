#pragma once

#include <string>

#include "cups_spooler.h"
#include "shared_ipp.h"

namespace rawlet::cups {

struct JobOutcome {
    bool completed = false;
    std::string reason; // the scheduler's words when the job did not complete
    int openState = 0;  // the job's state when it did not complete but may still print
};

// Follows `job` until the scheduler reports it completed, or it can no longer complete: the
// job stopped, was canceled or aborted, or its printer stopped with the job unfinished.
// `onState`, when given, hears the job's state each time it is asked, as a line such as
// "job Q-7 processing".
using ipp::JobStateListener;
JobOutcome FollowJob(const CreatedJob& job, const JobStateListener& onState = nullptr);

// Cancels `job` on a connection of its own; whether the scheduler agreed.
bool CancelJob(const CreatedJob& job);

} // namespace rawlet::cups
