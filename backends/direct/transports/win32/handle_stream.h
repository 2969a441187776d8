#pragma once

// A device's handle (a printer port such as LPT1, a USB printer) as an Asio stream, so that a
// query in the printer's own language goes over it as over a socket: a port has no position,
// so the offset given is none.

#include <utility>

#include <boost/asio/windows/random_access_handle.hpp>

namespace rawlet::direct {

class HandleStream {
public:
    explicit HandleStream(boost::asio::windows::random_access_handle& handle) : handle_(handle) {}

    template <class Buffers, class Handler> void async_write_some(const Buffers& buffers, Handler&& handler)
    {
        handle_.async_write_some_at(0, buffers, std::forward<Handler>(handler));
    }
    template <class Buffers, class Handler> void async_read_some(const Buffers& buffers, Handler&& handler)
    {
        handle_.async_read_some_at(0, buffers, std::forward<Handler>(handler));
    }
    void cancel(boost::system::error_code& error) { handle_.cancel(error); }

private:
    boost::asio::windows::random_access_handle& handle_;
};

} // namespace rawlet::direct
