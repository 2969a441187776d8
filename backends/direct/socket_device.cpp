#include "socket_device.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#ifdef __linux__
#include <linux/sockios.h>
#endif

#include <cerrno>
#include <memory>
#include <thread>

#include "fd_io.h"

namespace rawlet::direct {

namespace {

struct AddressesDeleter {
    void operator()(addrinfo* list) const noexcept { ::freeaddrinfo(list); }
};
using Addresses = std::unique_ptr<addrinfo, AddressesDeleter>;

// The error the connection has met, such as the printer's reset; 0 if none.
int PendingError(int fd)
{
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 ? error : errno;
}

// Bytes sent that the printer has not acknowledged yet (on Linux, our end of stream counts
// as one); -1 when the system cannot tell.
int Unacknowledged(int fd)
{
    int count = 0;
#if defined(SO_NWRITE)
    socklen_t size = sizeof count;
    return ::getsockopt(fd, SOL_SOCKET, SO_NWRITE, &count, &size) == 0 ? count : -1;
#elif defined(SIOCOUTQ)
    return ::ioctl(fd, SIOCOUTQ, &count) == 0 ? count : -1;
#else
    (void)fd;
    (void)count;
    return -1;
#endif
}

// A reset or a broken pipe once the job has been sent means the printer did not read it.
std::string EndFailure(int error)
{
    if (error == ECONNRESET || error == EPIPE)
        return "the printer hung up without taking the job (" + Reason(error) + ")";
    return Reason(error);
}

} // namespace

bool SocketDevice::Connect()
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(uri_.port);
    if (const int problem = ::getaddrinfo(uri_.host.c_str(), port.c_str(), &hints, &found); problem != 0)
        return Fail("cannot find " + uri_.host + ": " + ::gai_strerror(problem));
    const Addresses addresses(found);
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next)
        if (ConnectTo(*address))
            return true;
    return false;
}

// A non-blocking connection, so the URI's timeout bounds the wait.
bool SocketDevice::ConnectTo(const addrinfo& address)
{
    UniqueFd fd(
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol));
    if (!fd)
        return Fail(Reason(errno));
    if (::connect(fd.get(), address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS)
            return Fail(Reason(errno));
        if (const int problem = WaitFor(fd.get(), POLLOUT, uri_.timeout); problem != 0)
            return Fail(problem == ETIMEDOUT ? TimedOut(uri_.timeout) + " connecting" : Reason(problem));
        if (const int error = PendingError(fd.get()); error != 0)
            return Fail(Reason(error));
    }
    connection_ = std::move(fd);
    return true;
}

bool SocketDevice::Begin(const std::string&) { return connection_ || Connect(); }

bool SocketDevice::Write(std::string_view bytes)
{
    std::string failure;
    if (!connection_)
        return Fail("not connected");
    if (WriteAll(connection_.get(), bytes, uri_.timeout, failure))
        return true;
    Abort();
    return Fail(failure);
}

bool SocketDevice::Finish()
{
    if (!connection_)
        return Fail("not connected");
    const auto deadline = std::chrono::steady_clock::now() + uri_.timeout;
    const bool delivered = ::shutdown(connection_.get(), SHUT_WR) == 0
                               ? AwaitPeerClose() && AwaitAcknowledged(deadline)
                               : FailShutdown(errno);
    connection_.Reset();
    return delivered;
}

// A printer that has hung up leaves the connection unable to end: its reset says why.
bool SocketDevice::FailShutdown(int error)
{
    const int pending = PendingError(connection_.get());
    return Fail(EndFailure(pending != 0 ? pending : error));
}

// What the printer sends back (status bytes, if any) is read and dropped until its end of
// stream, which it sends once it has read ours (or has hung up).
bool SocketDevice::AwaitPeerClose()
{
    char discarded[4096];
    for (;;) {
        if (const int problem = WaitFor(connection_.get(), POLLIN, uri_.timeout); problem != 0)
            return Fail(problem == ETIMEDOUT ? TimedOut(uri_.timeout) + " waiting for the printer to close"
                                             : Reason(problem));
        const ssize_t count = ::recv(connection_.get(), discarded, sizeof discarded, 0);
        if (count == 0)
            return true;
        if (count < 0 && errno != EINTR && errno != EAGAIN)
            return Fail(EndFailure(errno));
    }
}

// The printer's end of stream says it is done, not that it read the job: one that hung up
// at once (as a busy printer may) answers the bytes that reach it later with a reset. So the
// job is delivered only once every byte, and our end of stream, is acknowledged.
bool SocketDevice::AwaitAcknowledged(std::chrono::steady_clock::time_point deadline)
{
    constexpr auto kPollInterval = std::chrono::milliseconds(1);
    for (;;) {
        // In this order: a reset may empty the count as it arrives.
        const int unacknowledged = Unacknowledged(connection_.get());
        if (const int error = PendingError(connection_.get()); error != 0)
            return Fail(EndFailure(error));
        if (unacknowledged <= 0)
            return true; // all acknowledged, or a system that cannot tell: the close is our word
        if (std::chrono::steady_clock::now() >= deadline)
            return Fail(TimedOut(uri_.timeout) + " with " + std::to_string(unacknowledged) +
                        " bytes not acknowledged by the printer");
        std::this_thread::sleep_for(kPollInterval);
    }
}

// A reset rather than an orderly end: the printer must not take a partial job as whole.
void SocketDevice::Abort() noexcept
{
    if (!connection_)
        return;
    const linger reset{1, 0};
    ::setsockopt(connection_.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    connection_.Reset();
}

} // namespace rawlet::direct
