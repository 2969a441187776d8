#include "interrupter.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "reasons.h"

namespace rawlet::posixapi {

namespace {

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60'000));
}

void SetFlags(int fd, int descriptorFlags, int statusFlags)
{
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | descriptorFlags);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | statusFlags);
}

} // namespace

Interrupter::Interrupter()
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("cannot make a pipe: " + Reason(errno));
    wake_.Reset(ends[0]);
    signal_.Reset(ends[1]);
    SetFlags(ends[0], FD_CLOEXEC, O_NONBLOCK);
    SetFlags(ends[1], FD_CLOEXEC, O_NONBLOCK);
}

void Interrupter::Interrupt() noexcept
{
    interrupted_ = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signal_.get(), &wake, 1);
}

int WaitFor(int fd, short events, Clock::time_point deadline, const Interrupter* interrupter)
{
    pollfd watched[2] = {{fd, events, 0}, {interrupter ? interrupter->fd() : -1, POLLIN, 0}};
    for (;;) {
        if (interrupter && interrupter->interrupted())
            return ECANCELED;
        const int ready = ::poll(watched, 2, MillisecondsUntil(deadline));
        if (ready > 0 && watched[1].revents != 0)
            return ECANCELED;
        if (ready > 0)
            return 0;
        if (ready == 0 && Clock::now() >= deadline)
            return ETIMEDOUT;
        if (ready < 0 && errno != EINTR)
            return errno;
    }
}

int Pause(Clock::time_point until, const Interrupter* interrupter)
{
    const int result = WaitFor(-1, 0, until, interrupter);
    return result == ECANCELED ? ECANCELED : 0;
}

} // namespace rawlet::posixapi
