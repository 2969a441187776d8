#include "reachability.h"

#include <cerrno>
#include <cstring>

#include <cups/cups.h>
#include <sys/socket.h>
#include <sys/time.h>

#include "shared_ipp.h"
#include "unique_fd.h"

namespace rawlet::cups {

namespace {

// 0 when the address accepts a connection, else the error that refused it.
int ConnectError(http_addr_t& address, int timeoutMs)
{
    posixapi::UniqueFd socket(::socket(httpAddrFamily(&address), SOCK_STREAM, 0));
    if (socket.get() < 0)
        return errno;
    const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (connect(socket.get(), &address.addr, static_cast<socklen_t>(httpAddrLength(&address))) == 0)
        return 0;
    return errno == EINPROGRESS ? ETIMEDOUT : errno;
}

} // namespace

// libcups' own connection calls report "Host is down" for every failure to connect, a
// missing socket file included; connecting here gives the system's reason.
std::optional<std::string> SchedulerUnreachable(int timeoutMs)
{
    const std::string server = cupsServer();
    const bool local = !server.empty() && server.front() == '/';
    const std::string where = local ? server : server + ":" + std::to_string(ippPort());
    const std::string port = std::to_string(ippPort());
    ipp::AddressList addresses(httpAddrGetList(server.c_str(), AF_UNSPEC, port.c_str()));
    if (!addresses)
        return "no print scheduler answers at " + where + " (" + ipp::LastErrorText() + ")";
    int firstError = 0;
    for (http_addrlist_t* address = addresses.get(); address; address = address->next) {
        const int error = ConnectError(address->addr, timeoutMs);
        if (error == 0)
            return std::nullopt;
        if (firstError == 0)
            firstError = error;
    }
    return "no print scheduler answers at " + where + " (" + std::strerror(firstError) + ")";
}

} // namespace rawlet::cups
