#pragma once

#include <sys/types.h>

#include <string>

#include "shared_ipp.h"

namespace rawlet::cups {

// A connection to the scheduler lent to one document at a time, from those the process keeps
// open between documents: a program printing receipt after receipt connects once rather than
// once a job (to a remote scheduler, a TCP and perhaps a TLS handshake each). It goes back
// when it goes, unless closed first; a few are kept for each scheduler, on any thread.
class LentConnection {
public:
    // One kept for the scheduler the environment names on this thread (cupsSetServer is per
    // thread), else a new one (ConnectWithDeadline); null when the scheduler does not answer.
    static LentConnection ToScheduler();

    LentConnection(LentConnection&&) noexcept = default;
    LentConnection& operator=(LentConnection&&) = delete;
    LentConnection(const LentConnection&) = delete;
    LentConnection& operator=(const LentConnection&) = delete;
    ~LentConnection();

    http_t* get() const noexcept { return http_.get(); }
    explicit operator bool() const noexcept { return http_ != nullptr; }

    // For a connection whose last request may not have had its whole answer: it is closed,
    // not kept for another document.
    void Close() noexcept { http_.reset(); }

    // Whether the scheduler has closed the connection since its last answer, as it does with
    // connections left idle: it must be connected again before the next request.
    bool ClosedByScheduler() const;

private:
    LentConnection(std::string scheduler, ipp::Http http);

    std::string scheduler_;
    ipp::Http http_;
    pid_t lender_; // the process it was lent in: a child of fork() shares it with its parent
};

} // namespace rawlet::cups
