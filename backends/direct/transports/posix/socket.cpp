// socket://HOST[:PORT][?OPTIONS]: an AppSocket (JetDirect) printer, port 9100 by default;
// [IPV6] is allowed as the host. Options, joined by '+':
//   timeout=S                the longest wait for the connection or a stall (10 s)
//   snmp=COMMUNITY|off       the community its status is asked with (public)
//   status=escpos|zpl        ask its status in its own language too, and, when the
//                            caller waits, whether it printed a job
//
// One TCP connection per document. The document is delivered once the printer has
// acknowledged every byte and, having read our end of the stream, closed its own. A printer
// asked to confirm its printing is asked once it has acknowledged every byte, before our end
// of the stream.
#include "posix_transports.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#ifdef __linux__
#include <linux/sockios.h>
#include <netinet/tcp.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>

namespace rawlet::direct {

namespace {

// How often the end of a job looks at what the printer has acknowledged.
constexpr auto kAcknowledgementPoll = std::chrono::milliseconds(5);

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

// Bytes sent that the printer has not acknowledged, once our end of stream (`endSent`) is
// left out where the system counts it; nothing when the system cannot tell.
std::optional<std::uint64_t> UnacknowledgedBytes(int fd, bool endSent)
{
    const int count = Unacknowledged(fd);
    if (count < 0)
        return std::nullopt;
#if !defined(SO_NWRITE) && defined(SIOCOUTQ)
    if (endSent && count > 0) // the end of stream is the last thing sent, so the last acknowledged
        return count - 1;
#endif
    (void)endSent;
    return count;
}

#ifdef __linux__
// Linux's TCP_INFO goes on past the part the C library declares, in an order its ABI keeps.
struct TcpInfo {
    tcp_info declared;
    std::uint64_t pacingRate;
    std::uint64_t maxPacingRate;
    std::uint64_t bytesAcked; // since Linux 4.1
};
#endif

// Bytes sent that the printer has acknowledged, counted by the connection itself, so still
// known once a reset has emptied its queue; nothing where the system does not count them.
std::optional<std::uint64_t> AcknowledgedBytes(int fd)
{
#ifdef __linux__
    TcpInfo info{};
    socklen_t size = sizeof info;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 && size >= sizeof info &&
        info.bytesAcked > 0)
        return info.bytesAcked - 1; // the connection's first sequence number, its SYN, counts as one
#else
    (void)fd;
#endif
    return std::nullopt;
}

// Ends the connection in a reset, dropping what it holds unsent or unacknowledged: the printer
// must not take a partial job as whole. Its close, whenever it comes, resets it too; on Linux
// it is reset at once, without closing the descriptor a thread may still be using.
void Reset(int fd) noexcept
{
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
#ifdef __linux__
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    ::connect(fd, &unspecified, sizeof unspecified);
#endif
}

// A reset or a broken pipe once the job has been sent means the printer did not read it.
std::string EndFailure(int error)
{
    if (error == ECONNRESET || error == EPIPE)
        return "the printer hung up without taking the job (" + Reason(error) + ")";
    return Reason(error);
}

// Non-blocking, not inherited, and never raising SIGPIPE where the system has a socket
// option for that rather than a flag of send().
UniqueFd NewSocket(const addrinfo& address)
{
    UniqueFd fd(::socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (!fd)
        return fd;
    ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
#ifdef SO_NOSIGPIPE
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return fd;
}

} // namespace

bool SocketDevice::Connect()
{
    if (interrupter_.interrupted())
        return Fail("interrupted");
    // One deadline for the name and the connection, as the URI's timeout promises.
    const auto deadline = Clock::now() + uri_.timeout;
    std::string failure;
    const Addresses addresses = LookUpHost(uri_.host, uri_.port, deadline, &interrupter_, failure);
    if (!addresses)
        return Fail(failure);
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next)
        if (ConnectTo(*address, deadline))
            return true;
    return false;
}

bool SocketDevice::ConnectTo(const addrinfo& address, Clock::time_point deadline)
{
    UniqueFd fd = NewSocket(address);
    if (!fd)
        return Fail(Reason(errno));
    if (::connect(fd.get(), address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS)
            return Fail(Reason(errno));
        if (const int problem = WaitFor(fd.get(), POLLOUT, deadline, &interrupter_); problem != 0)
            return FailWait(problem, " connecting");
        if (const int error = PendingError(fd.get()); error != 0)
            return Fail(Reason(error));
    }
    Keep(std::move(fd));
    return true;
}

void SocketDevice::Keep(UniqueFd connection)
{
    std::lock_guard lock(connectionMutex_);
    connection_ = std::move(connection);
    endSent_ = false;
}

bool SocketDevice::FailWait(int problem, const std::string& waitingFor)
{
    if (problem == ECANCELED)
        return Fail("interrupted");
    return Fail(problem == ETIMEDOUT ? TimedOut(uri_.timeout) + waitingFor : Reason(problem));
}

bool SocketDevice::Begin(const std::string&)
{
    StartCounting();
    return connection_ || Connect();
}

bool SocketDevice::Write(std::string_view bytes)
{
    if (!connection_)
        return Fail("not connected");
    return WriteOrAbort(connection_.get(), bytes, uri_.timeout, interrupter_, "");
}

bool SocketDevice::Finish()
{
    if (!connection_)
        return Fail("not connected");
    if (interrupter_.interrupted()) {
        Abort();
        return Fail("interrupted");
    }
    if (ConfirmingPrinting() && !AwaitAcknowledged()) {
        Abort();
        return false;
    }
    Confirm();
    if (interrupter_.interrupted()) {
        Abort();
        return Fail("interrupted");
    }
    const bool ended = ::shutdown(connection_.get(), SHUT_WR) == 0;
    endSent_ = ended;
    const bool delivered = ended ? AwaitDelivery() : FailShutdown(errno);
    if (delivered)
        Keep(UniqueFd());
    else
        Abort();
    return delivered;
}

// A printer that has hung up leaves the connection unable to end: its reset says why.
bool SocketDevice::FailShutdown(int error)
{
    const int pending = PendingError(connection_.get());
    return Fail(EndFailure(pending != 0 ? pending : error));
}

// Before a printer is asked to confirm its printing: it holds every byte once it has
// acknowledged them. The timeout runs from its last progress, as it does for the delivery.
bool SocketDevice::AwaitAcknowledged()
{
    const int fd = connection_.get();
    int unacknowledged = Unacknowledged(fd);
    auto deadline = Clock::now() + uri_.timeout;
    while (unacknowledged > 0) { // or a system that cannot tell
        if (const int error = PendingError(fd); error != 0)
            return Fail(EndFailure(error));
        if (Clock::now() >= deadline)
            return Fail(TimedOut(uri_.timeout) + " with " + std::to_string(unacknowledged) +
                        " bytes not acknowledged by the printer");
        if (Pause(std::min(deadline, Clock::now() + kAcknowledgementPoll), &interrupter_) == ECANCELED)
            return Fail("interrupted");
        const int count = Unacknowledged(fd);
        if (count < unacknowledged)
            deadline = Clock::now() + uri_.timeout;
        unacknowledged = count;
    }
    return true;
}

// Delivered once every byte, and our end of stream, is acknowledged and the printer has
// closed its end: its close alone says it is done, not that it read the job (one that hung
// up at once, as a busy printer may, answers the bytes that reach it later with a reset).
//
// While bytes are unacknowledged, the timeout runs from the printer's last progress, so a
// slow printer is waited for as long as it keeps reading; once it holds them all, it has the
// timeout to close, however much it talks meanwhile. What it sends is read and dropped.
bool SocketDevice::AwaitDelivery()
{
    const int fd = connection_.get();
    int unacknowledged = Unacknowledged(fd);
    auto deadline = Clock::now() + uri_.timeout;
    bool holdsEverything = false;
    bool closed = false;
    for (;;) {
        // In this order: a reset may empty the count as it arrives.
        const int count = Unacknowledged(fd);
        if (const int error = PendingError(fd); error != 0)
            return Fail(EndFailure(error));
        if (count < unacknowledged)
            deadline = Clock::now() + uri_.timeout;
        unacknowledged = count;
        if (unacknowledged <= 0 && !holdsEverything) { // or a system that cannot tell
            holdsEverything = true;
            deadline = Clock::now() + uri_.timeout;
        }
        if (holdsEverything && closed)
            return true;
        if (Clock::now() >= deadline)
            return holdsEverything ? Fail(TimedOut(uri_.timeout) + " waiting for the printer to close")
                                   : Fail(TimedOut(uri_.timeout) + " with " + std::to_string(unacknowledged) +
                                          " bytes not acknowledged by the printer");
        const auto nextLook = std::min(deadline, Clock::now() + kAcknowledgementPoll);
        const int problem = closed
                                ? Pause(nextLook, &interrupter_)
                                : WaitFor(fd, POLLIN, holdsEverything ? deadline : nextLook, &interrupter_);
        if (problem == ECANCELED)
            return Fail("interrupted");
        if (problem != 0 && problem != ETIMEDOUT)
            return Fail(Reason(problem));
        if (problem == 0 && !closed) {
            char discarded[4096];
            const ssize_t received = ::recv(fd, discarded, sizeof discarded, 0);
            closed = received == 0;
            if (received < 0 && errno != EINTR && errno != EAGAIN)
                return Fail(EndFailure(errno));
        }
    }
}

// What the printer had is read before the reset: a printer's reset leaves it as it was.
void SocketDevice::Abort() noexcept
{
    std::lock_guard lock(connectionMutex_);
    if (!connection_)
        return;
    NoteTaken(HadNow());
    Reset(connection_.get());
    connection_.Reset();
}

// What the printer had is read before the reset, which empties the counts. The connection is
// left open to the thread that uses it, whose call fails at once.
void SocketDevice::Interrupt() noexcept
{
    std::lock_guard lock(connectionMutex_);
    if (connection_)
        NoteTaken(HadNow());
    interrupter_.Interrupt();
    if (connection_)
        Reset(connection_.get());
}

// Called with the connection's lock held, or by the thread that uses the connection. What
// the connection counts as acknowledged is the truth; what it holds unacknowledged is, only
// until a reset empties it.
Device::Had SocketDevice::HadNow() const
{
    const std::uint64_t sent = handed();
    Had had{"the printer had acknowledged", sent, std::nullopt};
    if (const auto acknowledged = AcknowledgedBytes(connection_.get()))
        had.taken = std::min(*acknowledged, sent);
    else if (const auto unacknowledged = UnacknowledgedBytes(connection_.get(), endSent_))
        had.taken = sent - std::min(*unacknowledged, sent);
    return had;
}

} // namespace rawlet::direct
