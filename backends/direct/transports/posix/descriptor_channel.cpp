#include "posix_transports.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace rawlet::direct {

namespace {

// A read that never blocks, whether or not the descriptor was opened non-blocking: it is
// made only once poll says there is something, or the end.
ssize_t ReadReady(int fd, char* buffer, std::size_t size)
{
    pollfd watched{fd, POLLIN, 0};
    if (::poll(&watched, 1, 0) <= 0) {
        errno = EAGAIN;
        return -1;
    }
    for (;;) {
        const ssize_t received = ::read(fd, buffer, size);
        if (received >= 0 || errno != EINTR)
            return received;
    }
}

// A device opened for writing only (a printer port without a way back) never says it has
// something to read: asking would only wait for the deadline.
bool Readable(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_WRONLY;
}

} // namespace

void DescriptorChannel::DiscardUnread()
{
    char discarded[512];
    while (ReadReady(fd_, discarded, sizeof discarded) > 0) {
    }
}

bool DescriptorChannel::Send(std::string_view bytes, Clock::time_point deadline)
{
    const WriteCalls calls = DescriptorCalls(fd_, interrupter_);
    while (!bytes.empty()) {
        if (interrupted())
            return false;
        const ssize_t written = calls.write(bytes);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        if (calls.waitWritable(deadline) != 0 || Clock::now() >= deadline)
            return false;
    }
    return true;
}

bool DescriptorChannel::ReceiveMore(std::string& answer, Clock::time_point deadline)
{
    if (!Readable(fd_))
        return false;
    for (;;) {
        if (WaitFor(fd_, POLLIN, deadline, interrupter_) != 0)
            return false;
        char buffer[512];
        const ssize_t received = ReadReady(fd_, buffer, sizeof buffer);
        if (received > 0) {
            answer.append(buffer, static_cast<std::size_t>(received));
            return true;
        }
        // Ready but nothing to read, as after a spurious wake-up: wait again.
        if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        return false;
    }
}

} // namespace rawlet::direct
