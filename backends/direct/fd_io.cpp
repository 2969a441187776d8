#include "fd_io.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0 // such systems set SO_NOSIGPIPE on the socket instead
#endif

namespace rawlet::direct {

namespace {

// A device that says it is ready and then takes nothing (a printer port whose driver has no
// poll) is asked again after a pause that grows to this, rather than at full speed.
constexpr auto kFirstPause = std::chrono::milliseconds(1);
constexpr auto kLongestPause = std::chrono::milliseconds(100);

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

bool IsSocket(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
}

// write() to a pipe or FIFO whose reader has left raises SIGPIPE, which would end a program
// that did not ask for it. The signal is held back for this thread, and taken away again
// when this write raised it.
ssize_t WriteWithoutSigpipe(int fd, std::string_view bytes)
{
    sigset_t brokenPipe, previous, pending;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    const int error = errno;
    if (written < 0 && error == EPIPE && !alreadyPending) {
        int taken = 0;
        sigwait(&brokenPipe, &taken);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

} // namespace

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

WriteCalls DescriptorCalls(int fd, const Interrupter* interrupter)
{
    const bool socket = IsSocket(fd);
    return {
        [fd, socket](std::string_view bytes) {
            return socket ? ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                          : WriteWithoutSigpipe(fd, bytes);
        },
        [fd, interrupter](Clock::time_point deadline) { return WaitFor(fd, POLLOUT, deadline, interrupter); },
        [interrupter](Clock::time_point until) { return Pause(until, interrupter); },
    };
}

bool WriteAll(const WriteCalls& calls, std::string_view bytes, std::chrono::seconds timeout,
              std::string& failure)
{
    auto deadline = Clock::now() + timeout;
    auto pause = std::chrono::milliseconds(kFirstPause);
    bool saidReady = false; // the last wait said the device would take bytes
    while (!bytes.empty()) {
        const ssize_t written = calls.write(bytes);
        const int error = errno;
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            deadline = Clock::now() + timeout;
            pause = kFirstPause;
            saidReady = false;
            continue;
        }
        if (written < 0 && error == EINTR)
            continue;
        if (written < 0 && error != EAGAIN && error != EWOULDBLOCK) {
            failure = Reason(error);
            return false;
        }
        int problem = 0;
        if (saidReady) {
            problem = calls.pause(std::min(Clock::now() + pause, deadline));
            pause = std::min(pause * 2, std::chrono::milliseconds(kLongestPause));
        } else {
            problem = calls.waitWritable(deadline);
        }
        if (problem == 0 && Clock::now() >= deadline)
            problem = ETIMEDOUT;
        if (problem != 0) {
            failure = problem == ETIMEDOUT   ? TimedOut(timeout) + " with the printer taking no data"
                      : problem == ECANCELED ? std::string("interrupted")
                                             : Reason(problem);
            return false;
        }
        saidReady = true;
    }
    return true;
}

bool WriteAll(int fd, std::string_view bytes, std::chrono::seconds timeout, const Interrupter* interrupter,
              std::string& failure)
{
    return WriteAll(DescriptorCalls(fd, interrupter), bytes, timeout, failure);
}

} // namespace rawlet::direct
