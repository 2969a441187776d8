#pragma once

#include <string>

#include "cups_spooler.h"

namespace rawlet::cups {

struct JobOutcome {
    bool completed = false;
    std::string reason; // the scheduler's words when the job did not complete
};

// Follows `job` until the scheduler reports it completed, or it can no longer complete: the
// job stopped, was canceled or aborted, or its printer stopped with the job unfinished.
JobOutcome FollowJob(const CreatedJob& job);

} // namespace rawlet::cups
