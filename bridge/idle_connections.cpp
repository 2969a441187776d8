#include "idle_connections.h"

namespace rawlet::bridge {

IdleConnections::Entry::Entry(IdleConnections& connections, boost::beast::tcp_stream& stream)
    : connections_(connections), stream_(stream)
{
    connections_.waiting_.insert(&stream_);
}

IdleConnections::Entry::~Entry() { connections_.waiting_.erase(&stream_); }

// Cancelling a wait ends its connection; the waits end later, on the same thread, so none
// leaves the set while it is walked.
void IdleConnections::CloseAll()
{
    closed_ = true;
    for (boost::beast::tcp_stream* stream : waiting_)
        stream->cancel();
}

} // namespace rawlet::bridge
