#include "systemd_sockets.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rawlet::bridge {

namespace {

constexpr int kFirstDescriptor = 3;

// The count systemd passed, when it passed them to this very process and not to a parent.
int PassedCount()
{
    const char* pid = std::getenv("LISTEN_PID");
    const char* count = std::getenv("LISTEN_FDS");
    if (!pid || !count || std::strtol(pid, nullptr, 10) != getpid())
        return 0;
    return static_cast<int>(std::strtol(count, nullptr, 10));
}

bool IsListeningStream(int descriptor)
{
    int type = 0, listening = 0;
    socklen_t size = sizeof type;
    if (getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &size) != 0 || type != SOCK_STREAM)
        return false;
    size = sizeof listening;
    return getsockopt(descriptor, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && listening;
}

InheritedSocket Inherit(int descriptor)
{
    const std::string which = "the socket systemd passed as descriptor " + std::to_string(descriptor);
    InheritedSocket socket{descriptor, {}};
    auto size = static_cast<socklen_t>(socket.endpoint.capacity());
    if (!IsListeningStream(descriptor) || getsockname(descriptor, socket.endpoint.data(), &size) != 0)
        throw std::runtime_error(which +
                                 " is not a listening TCP socket (ListenStream=, without Accept=yes)");
    const int family = socket.endpoint.data()->sa_family;
    if (family != AF_INET && family != AF_INET6)
        throw std::runtime_error(which + " is not a TCP socket on 127.0.0.1 or [::1]");
    socket.endpoint.resize(size);
    if (!socket.endpoint.address().is_loopback())
        throw std::runtime_error(which + " listens on " + socket.endpoint.address().to_string() +
                                 ": the bridge listens on loopback only (127.0.0.1 or [::1])");
    // Programs the bridge may start must not inherit the listening socket.
    fcntl(descriptor, F_SETFD, FD_CLOEXEC);
    return socket;
}

} // namespace

std::vector<InheritedSocket> SocketsFromSystemd()
{
    const int count = PassedCount();
    // Not for the programs this one starts, which did not get the sockets.
    unsetenv("LISTEN_PID");
    unsetenv("LISTEN_FDS");
    unsetenv("LISTEN_FDNAMES");
    std::vector<InheritedSocket> sockets;
    for (int descriptor = kFirstDescriptor; descriptor < kFirstDescriptor + count; ++descriptor) {
        sockets.push_back(Inherit(descriptor));
        if (sockets.back().endpoint.port() != sockets.front().endpoint.port())
            throw std::runtime_error("systemd passed sockets on ports " +
                                     std::to_string(sockets.front().endpoint.port()) + " and " +
                                     std::to_string(sockets.back().endpoint.port()) +
                                     ": the bridge listens on one port");
    }
    return sockets;
}

} // namespace rawlet::bridge
