#pragma once

#include <string>
#include <string_view>

#include "request_policy.h"
#include "waited_jobs.h"

namespace rawlet::bridge {

// An HTTP status and its JSON body.
struct Answer {
    int status = 200;
    std::string json;
};

// How long a job with ?wait waits for the printer at most: a job still open then is unknown.
inline constexpr int kLongestWaitSeconds = 60;

// The answer to a refused request: its status, and the reason as {"refused": REASON}.
Answer Refusal(const Decision& decision);

// Runs a request the policy took, through the front door, on the system's printers as they
// are now. Blocks while a job prints: GET /v1/printers lists the names and kinds of the
// printers the origin may use (never their URIs); GET .../status is `rawlet status --json`
// of one printer; POST .../jobs prints the whole `body` as one job and answers its outcome
// ("printed", "delivered", "not-printed", "unknown"), job, bytes, reason and error number;
// a job with ?wait is one of `waited` while it runs.
Answer Serve(const Decision& decision, std::string_view body, WaitedJobs& waited);

} // namespace rawlet::bridge
