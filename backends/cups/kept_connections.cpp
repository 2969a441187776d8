#include "kept_connections.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <utility>
#include <vector>

#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

// Enough for a few threads printing side by side; the scheduler keeps a client for each.
constexpr std::ptrdiff_t kKeptPerScheduler = 4;

std::string SchedulerName()
{
    return std::string(cupsServer()) + ":" + std::to_string(ippPort()) + ":" +
           std::to_string(static_cast<int>(cupsEncryption()));
}

struct KeptConnection {
    std::string scheduler;
    ipp::Http http;
};

class KeptConnections {
public:
    ipp::Http Take(const std::string& scheduler)
    {
        std::lock_guard lock(mutex_);
        LeaveInheritedOnes();
        const auto kept = std::find_if(kept_.rbegin(), kept_.rend(),
                                       [&](const KeptConnection& c) { return c.scheduler == scheduler; });
        if (kept == kept_.rend())
            return nullptr;
        ipp::Http http = std::move(kept->http);
        kept_.erase(std::next(kept).base());
        return http;
    }

    // What it does not keep comes back, for the caller to close outside the lock.
    ipp::Http Keep(std::string scheduler, ipp::Http http)
    {
        std::lock_guard lock(mutex_);
        LeaveInheritedOnes();
        if (std::count_if(kept_.begin(), kept_.end(), [&](const KeptConnection& c) {
                return c.scheduler == scheduler;
            }) >= kKeptPerScheduler)
            return http;
        kept_.push_back({std::move(scheduler), std::move(http)});
        return nullptr;
    }

private:
    // A child of fork() shares these sockets with its parent, which may still use them: the
    // child neither uses nor closes them (closing would end the parent's TLS sessions too).
    void LeaveInheritedOnes()
    {
        if (owner_ == ::getpid())
            return;
        for (KeptConnection& kept : kept_)
            [[maybe_unused]] http_t* const parents = kept.http.release();
        kept_.clear();
        owner_ = ::getpid();
    }

    std::mutex mutex_;
    std::vector<KeptConnection> kept_;
    pid_t owner_ = ::getpid();
};

// Never destroyed: a document may end on another thread while the process exits.
KeptConnections& TheKeptConnections()
{
    static KeptConnections* const connections = new KeptConnections();
    return *connections;
}

} // namespace

LentConnection::LentConnection(std::string scheduler, ipp::Http http)
    : scheduler_(std::move(scheduler)), http_(std::move(http)), lender_(::getpid())
{}

LentConnection LentConnection::ToScheduler()
{
    std::string scheduler = SchedulerName();
    ipp::Http http = TheKeptConnections().Take(scheduler);
    return {std::move(scheduler), http ? std::move(http) : ConnectWithDeadline()};
}

// One not kept is closed here, outside the lock. One a child of fork() inherited stays its
// parent's: the child neither keeps nor closes it.
LentConnection::~LentConnection()
{
    if (http_ && lender_ != ::getpid()) {
        [[maybe_unused]] http_t* const parents = http_.release();
        return;
    }
    if (http_)
        const ipp::Http notKept = TheKeptConnections().Keep(std::move(scheduler_), std::move(http_));
}

// A socket with nothing to read is open; at its end, or with bytes no request asked for, it
// is of no further use.
bool LentConnection::ClosedByScheduler() const
{
    char byte;
    const int socket = httpGetFd(http_.get());
    return socket < 0 || ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0 ||
           (errno != EAGAIN && errno != EWOULDBLOCK);
}

} // namespace rawlet::cups
