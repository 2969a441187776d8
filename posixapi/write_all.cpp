#include "write_all.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "reasons.h"

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0 // such systems set SO_NOSIGPIPE on the socket instead
#endif

namespace rawlet::posixapi {

namespace {

// A device that says it is ready and then takes nothing (a printer port whose driver has no
// poll) is asked again after a pause that grows to this, rather than at full speed.
constexpr auto kFirstPause = std::chrono::milliseconds(1);
constexpr auto kLongestPause = std::chrono::milliseconds(100);

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

} // namespace rawlet::posixapi
