#include "fd_io.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace rawlet::direct {

std::string Reason(int error)
{
    std::string text = std::strerror(error);
    if (!text.empty())
        text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    return text;
}

std::string TimedOut(std::chrono::seconds timeout)
{
    return "timed out after " + std::to_string(timeout.count()) + " s";
}

int WaitFor(int fd, short events, std::chrono::seconds timeout)
{
    pollfd watched{fd, events, 0};
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count();
    for (;;) {
        const int ready = ::poll(&watched, 1, static_cast<int>(milliseconds));
        if (ready > 0)
            return 0;
        if (ready == 0)
            return ETIMEDOUT;
        if (errno != EINTR)
            return errno;
    }
}

namespace {

// send() on a socket, so a peer that went away fails the call instead of raising SIGPIPE.
ssize_t WriteSome(int fd, std::string_view bytes, bool socket)
{
    return socket ? ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                  : ::write(fd, bytes.data(), bytes.size());
}

bool IsSocket(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

bool WriteAll(int fd, std::string_view bytes, std::chrono::seconds timeout, std::string& failure)
{
    const bool socket = IsSocket(fd);
    while (!bytes.empty()) {
        const ssize_t written = WriteSome(fd, bytes, socket);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            failure = Reason(errno);
            return false;
        }
        if (const int problem = WaitFor(fd, POLLOUT, timeout); problem != 0) {
            failure = problem == ETIMEDOUT ? TimedOut(timeout) + " with the printer taking no data"
                                           : Reason(problem);
            return false;
        }
    }
    return true;
}

} // namespace rawlet::direct
