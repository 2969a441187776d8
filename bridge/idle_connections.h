#pragma once

#include <set>

#include <boost/beast/core/tcp_stream.hpp>

namespace rawlet::bridge {

// The connections waiting for a request's first byte: kept open between requests, or opened
// ahead of one. A service that stops closes them at once, lest a client that keeps its
// connection (as every browser does) hold the service up or print after the stop, and keeps
// no more. Used on the service's I/O thread only.
class IdleConnections {
public:
    // While it lives, its connection is one CloseAll closes.
    class Entry {
    public:
        Entry(IdleConnections& connections, boost::beast::tcp_stream& stream);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        IdleConnections& connections_;
        boost::beast::tcp_stream& stream_;
    };

    // Whether a connection may still be kept after its answer.
    bool Keeping() const { return !closed_; }
    void CloseAll();

private:
    std::set<boost::beast::tcp_stream*> waiting_;
    bool closed_ = false;
};

} // namespace rawlet::bridge
