#pragma once

// The Channel of a device whose connection is an Asio stream (a socket, a serial port): the
// queries in the printer's own language go over the connection the job goes over, waiting in
// the device's own context.

#include <algorithm>

#include <boost/asio/buffer.hpp>

#include "bounded_io.h"
#include "transports.h"

namespace rawlet::direct {

template <class Stream> class StreamChannel final : public Channel {
public:
    StreamChannel(BoundedIo& io, Stream& stream) : io_(io), stream_(stream) {}

    bool Send(std::string_view bytes, Clock::time_point deadline) override
    {
        while (!bytes.empty()) {
            const BoundedIo::Result sent = io_.Write(
                bytes,
                [this](boost::asio::const_buffer piece, const BoundedIo::Handler& handler) {
                    stream_.async_write_some(piece, handler);
                },
                deadline, [this] { Cancel(); });
            bytes.remove_prefix(std::min(sent.bytes, bytes.size()));
            if (sent.error)
                return false;
        }
        return true;
    }

    bool ReceiveMore(std::string& answer, Clock::time_point deadline) override
    {
        char buffer[512];
        const BoundedIo::Result received = ReadSome(buffer, sizeof buffer, deadline);
        answer.append(buffer, received.bytes);
        return received.bytes > 0;
    }

    // What has arrived is read, for a moment at most (a completion comes through the system's
    // queue, not at once): a printer that keeps talking does not hold the caller.
    void DiscardUnread() override
    {
        constexpr auto kMoment = std::chrono::milliseconds(20);
        const auto deadline = Clock::now() + kMoment;
        char discarded[512];
        while (Clock::now() < deadline && ReadSome(discarded, sizeof discarded, deadline).bytes > 0) {
        }
    }

    bool interrupted() const noexcept override { return io_.interrupted(); }

private:
    BoundedIo::Result ReadSome(char* buffer, std::size_t size, Clock::time_point deadline)
    {
        return io_.Read(
            buffer, size,
            [this](boost::asio::mutable_buffer into, const BoundedIo::Handler& handler) {
                stream_.async_read_some(into, handler);
            },
            deadline, [this] { Cancel(); });
    }

    void Cancel() noexcept
    {
        boost::system::error_code ignored;
        stream_.cancel(ignored);
    }

    BoundedIo& io_;
    Stream& stream_;
};

} // namespace rawlet::direct
