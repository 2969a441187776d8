#pragma once

#include <vector>

#include <boost/asio/ip/tcp.hpp>

namespace rawlet::bridge {

// A listening socket that the service manager opened for the bridge, and where it listens.
struct InheritedSocket {
    int descriptor;
    boost::asio::ip::tcp::endpoint endpoint;
};

// The sockets systemd passed to this process when a connection started it (socket activation:
// LISTEN_PID, LISTEN_FDS, descriptors from 3); none when it passed none. Throws
// std::runtime_error for a socket that is not TCP listening on loopback, as the bridge takes
// no jobs from the network, or for sockets on more than one port, as requests name one.
std::vector<InheritedSocket> SocketsFromSystemd();

} // namespace rawlet::bridge
