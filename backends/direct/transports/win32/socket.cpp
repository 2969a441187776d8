// socket://HOST[:PORT][?OPTIONS]: an AppSocket (JetDirect) printer, port 9100 by default;
// [IPV6] is allowed as the host. Options, joined by '+':
//   timeout=S                the longest wait for the connection or a stall (10 s)
//   status=escpos|zpl        ask its status in its own language too, and, when the
//                            caller waits, whether it printed a job
//
// One TCP connection per document. A write that makes no progress for the timeout has
// stalled. The document is delivered once the printer, having read our end of the stream,
// has closed its own; where the system counts what the printer acknowledged (SIO_TCP_INFO,
// Windows 10 1703 and later), once it has acknowledged every byte too, and the timeout then
// runs from its last progress. Where it does not (older systems, Wine), the printer has the
// timeout to close, its close counts only where the system's TCP table shows it came after
// our end (TIME_WAIT), and a document cut short may have left it any of the bytes sent. A
// printer asked to confirm its printing is asked before our end of the stream, once it has
// acknowledged every byte where that is counted.
#include "win32_transports.h"

#include <iphlpapi.h>
#include <mstcpip.h>

#include <algorithm>
#include <vector>

#include <boost/asio/error.hpp>

namespace rawlet::direct {

namespace {

using Tcp = boost::asio::ip::tcp;

// The largest piece handed to one send, so that a stall is seen piece by piece.
constexpr std::size_t kLargestSend = 64 * 1024;
// How often the end of a job looks at what the printer has acknowledged, where it is counted.
constexpr auto kAcknowledgementPoll = std::chrono::milliseconds(5);

// A reset once the job has been sent means the printer did not read it.
std::string EndFailure(const boost::system::error_code& error)
{
    if (error == boost::asio::error::connection_reset || error == boost::asio::error::connection_aborted ||
        error == boost::asio::error::broken_pipe)
        return "the printer hung up without taking the job (" + Reason(error) + ")";
    return Reason(error);
}

// The state of the IPv4 connection from `local` to `remote` in the system's TCP table, closed
// once it has gone from it; nothing where the table cannot tell.
std::optional<DWORD> ConnectionState(const Tcp::endpoint& local, const Tcp::endpoint& remote)
{
    if (!local.address().is_v4() || !remote.address().is_v4())
        return std::nullopt;
    std::vector<std::uint64_t> buffer; // aligned for the table
    ULONG size = 0;
    DWORD result = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 4 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.assign(size / sizeof(std::uint64_t) + 1, 0);
        size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
        result = ::GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, TCP_TABLE_BASIC_ALL, 0);
    }
    if (result != NO_ERROR)
        return std::nullopt;
    const auto* table = reinterpret_cast<const MIB_TCPTABLE*>(buffer.data());
    const auto matches = [](DWORD address, DWORD port, const Tcp::endpoint& endpoint) {
        return ::ntohl(address) == endpoint.address().to_v4().to_uint() &&
               ::ntohs(static_cast<u_short>(port)) == endpoint.port();
    };
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        const MIB_TCPROW& entry = table->table[row];
        if (matches(entry.dwLocalAddr, entry.dwLocalPort, local) &&
            matches(entry.dwRemoteAddr, entry.dwRemotePort, remote))
            return entry.dwState;
    }
    return MIB_TCP_STATE_CLOSED;
}

} // namespace

std::optional<TcpCounts> SystemTcpCounts(SOCKET socket)
{
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD size = 0;
    if (::WSAIoctl(socket, SIO_TCP_INFO, &version, sizeof version, &info, sizeof info, &size, nullptr,
                   nullptr) != 0 ||
        size < sizeof info)
        return std::nullopt;
    return TcpCounts{info.BytesOut, info.BytesInFlight};
}

bool SocketDevice::Connect()
{
    if (io_.interrupted())
        return Fail("interrupted");
    // One deadline for the name and the connection, as the URI's timeout promises.
    const auto deadline = Clock::now() + uri_.timeout;
    std::string failure;
    const auto endpoints = LookUpHost(uri_.host, uri_.port, deadline, io_, failure);
    if (endpoints.empty())
        return Fail(failure);
    for (const Tcp::endpoint& endpoint : endpoints)
        if (ConnectTo(endpoint, deadline))
            return true;
    return false;
}

// A connection that ends before the document is whole ends in a reset (no lingering), even
// when the process ends first: the printer must not take a partial job as whole.
bool SocketDevice::ConnectTo(const Tcp::endpoint& endpoint, Clock::time_point deadline)
{
    boost::system::error_code error;
    {
        std::lock_guard lock(socketMutex_);
        CloseLocked();
        socket_.open(endpoint.protocol(), error);
        if (!error)
            socket_.set_option(boost::asio::socket_base::linger(true, 0), error);
    }
    if (error)
        return Fail(Reason(error));
    const BoundedIo::Result connected = io_.Await(
        [&](const BoundedIo::Handler& handler) {
            socket_.async_connect(endpoint,
                                  [handler](const boost::system::error_code& result) { handler(result, 0); });
        },
        deadline, [this] { Cancel(); });
    if (!connected.error) {
        // Kept, as a reset leaves no peer to ask.
        local_ = socket_.local_endpoint(error);
        remote_ = endpoint;
        return true;
    }
    Close();
    if (connected.error == boost::asio::error::operation_aborted)
        return Fail("interrupted");
    if (connected.error == boost::asio::error::timed_out)
        return Fail(TimedOut(uri_.timeout) + " connecting");
    return Fail(Reason(connected.error));
}

bool SocketDevice::Begin(const std::string&)
{
    StartCounting();
    return socket_.is_open() || Connect();
}

bool SocketDevice::Write(std::string_view bytes)
{
    if (!socket_.is_open())
        return Fail("not connected");
    while (!bytes.empty()) {
        const std::string_view some = bytes.substr(0, kLargestSend);
        UnderWay(some.size());
        const BoundedIo::Result sent = io_.Write(
            some,
            [this](boost::asio::const_buffer piece, const BoundedIo::Handler& handler) {
                socket_.async_write_some(piece, handler);
            },
            Clock::now() + uri_.timeout, [this] { Cancel(); });
        Handed(sent.bytes);
        bytes.remove_prefix(std::min(sent.bytes, bytes.size()));
        // A send cut short may have put more of its piece on the wire than it says it moved.
        if (sent.error)
            UnderWay(some.size() - std::min(sent.bytes, some.size()));
        if (const auto failure = FailureOfWrite(sent, "", uri_.timeout, EndFailure))
            return FailWrite(failure->reason, failure->stalled);
    }
    return true;
}

bool SocketDevice::Finish()
{
    if (!socket_.is_open())
        return Fail("not connected");
    if (io_.interrupted()) {
        Abort();
        return Fail("interrupted");
    }
    if (ConfirmingPrinting() && !AwaitAcknowledged()) {
        Abort();
        return false;
    }
    Confirm();
    if (io_.interrupted()) {
        Abort();
        return Fail("interrupted");
    }
    if (HungUp()) {
        Abort();
        return false;
    }
    boost::system::error_code error;
    socket_.shutdown(Tcp::socket::shutdown_send, error);
    const bool delivered = error ? Fail(EndFailure(error)) : AwaitDelivery();
    if (delivered)
        Close();
    else
        Abort();
    return delivered;
}

// Before a printer is asked to confirm its printing: it holds every byte once it has
// acknowledged them, where that is counted. The timeout runs from its last progress.
bool SocketDevice::AwaitAcknowledged()
{
    auto unacknowledged = Unacknowledged();
    auto deadline = Clock::now() + uri_.timeout;
    while (unacknowledged && *unacknowledged > 0) {
        if (Clock::now() >= deadline)
            return Fail(TimedOut(uri_.timeout) + " with " + Grouped(*unacknowledged) +
                        " bytes not acknowledged by the printer");
        if (!io_.Pause(std::min(deadline, Clock::now() + kAcknowledgementPoll)))
            return Fail("interrupted");
        const auto now = Unacknowledged();
        if (now && *now < *unacknowledged)
            deadline = Clock::now() + uri_.timeout;
        unacknowledged = now;
    }
    return true;
}

// Whether the printer has already ended the connection, before the end of our stream: then it
// closed without knowing the job was whole. What it said meanwhile is read and dropped.
bool SocketDevice::HungUp()
{
    boost::system::error_code error;
    socket_.non_blocking(true, error);
    char discarded[4096];
    while (!error)
        socket_.read_some(boost::asio::buffer(discarded), error);
    boost::system::error_code ignored;
    socket_.non_blocking(false, ignored);
    if (error == boost::asio::error::would_block)
        return false;
    return !Fail(error == boost::asio::error::eof ? "the printer hung up before the end of the job"
                                                  : EndFailure(error));
}

// Delivered once the printer has closed its end and, where it is counted, acknowledged every
// byte. While bytes are unacknowledged the timeout runs from the printer's last progress;
// once it holds them all, or where that cannot be told, it has the timeout to close, however
// much it talks meanwhile. What it sends is read and dropped.
bool SocketDevice::AwaitDelivery()
{
    auto unacknowledged = Unacknowledged();
    auto deadline = Clock::now() + uri_.timeout;
    bool holdsEverything = !unacknowledged || *unacknowledged == 0;
    bool closed = false;
    char discarded[4096];
    for (;;) {
        if (holdsEverything && closed)
            return unacknowledged || ClosedAfterOurEnd();
        if (Clock::now() >= deadline)
            return holdsEverything ? Fail(TimedOut(uri_.timeout) + " waiting for the printer to close")
                                   : Fail(TimedOut(uri_.timeout) + " with " + Grouped(*unacknowledged) +
                                          " bytes not acknowledged by the printer");
        const auto nextLook =
            holdsEverything ? deadline : std::min(deadline, Clock::now() + kAcknowledgementPoll);
        if (closed) {
            if (!io_.Pause(nextLook))
                return Fail("interrupted");
        } else {
            const BoundedIo::Result read = io_.Read(
                discarded, sizeof discarded,
                [this](boost::asio::mutable_buffer into, const BoundedIo::Handler& handler) {
                    socket_.async_read_some(into, handler);
                },
                nextLook, [this] { Cancel(); });
            if (read.error == boost::asio::error::eof)
                closed = true;
            else if (read.error == boost::asio::error::operation_aborted)
                return Fail("interrupted");
            else if (read.error && read.error != boost::asio::error::timed_out)
                return Fail(EndFailure(read.error));
        }
        if (holdsEverything)
            continue;
        const auto now = Unacknowledged();
        if (now && *now < *unacknowledged)
            deadline = Clock::now() + uri_.timeout;
        unacknowledged = now;
        if (!unacknowledged || *unacknowledged == 0) {
            holdsEverything = true;
            deadline = Clock::now() + uri_.timeout;
        }
    }
}

// Where acknowledgements are not counted, a printer's close alone does not say it read the
// job: one that hung up at once, its close crossing the job on the way, closed before our end
// of the stream reached it, and answers the bytes that reach it afterwards with a reset. Our
// side of a connection that the printer closed after our end is waiting out TIME_WAIT.
bool SocketDevice::ClosedAfterOurEnd()
{
    const auto state = ConnectionState(local_, remote_);
    if (!state || *state == MIB_TCP_STATE_TIME_WAIT)
        return true;
    return Fail("the printer hung up before the end of the job");
}

// Bytes of the document the printer has not acknowledged (our send buffer's and those in
// flight); nothing where the system does not count them.
std::optional<std::uint64_t> SocketDevice::Unacknowledged() const
{
    const Had had = HadNow();
    if (!had.taken)
        return std::nullopt;
    return had.sent - *had.taken;
}

// With the socket's lock held, or by the thread in a call on the device.
Device::Had SocketDevice::HadNow() const
{
    const std::uint64_t sent = offered();
    Had had{"the printer had acknowledged", sent, std::nullopt};
    if (const auto counts = counts_(NativeOf(socket_)))
        had.taken = std::min(counts->sent - std::min(counts->inFlight, counts->sent), sent);
    return had;
}

// What the printer had is read before the reset.
void SocketDevice::Abort() noexcept
{
    std::lock_guard lock(socketMutex_);
    if (!socket_.is_open())
        return;
    NoteTaken(HadNow());
    CloseLocked();
}

// What the printer had is read now. The call in progress is cancelled on its own thread and
// fails at once, resetting the connection; one that never lingers is reset too should the
// process end first.
void SocketDevice::Interrupt() noexcept
{
    {
        std::lock_guard lock(socketMutex_);
        if (socket_.is_open())
            NoteTaken(HadNow());
    }
    io_.Interrupt([this] { Cancel(); });
}

void SocketDevice::Cancel() noexcept
{
    boost::system::error_code ignored;
    socket_.cancel(ignored);
}

void SocketDevice::Close() noexcept
{
    std::lock_guard lock(socketMutex_);
    CloseLocked();
}

void SocketDevice::CloseLocked() noexcept
{
    boost::system::error_code ignored;
    socket_.close(ignored);
}

} // namespace rawlet::direct
