#include "posix_transports.h"

#include <cerrno>

namespace rawlet::direct {

// An interruption is seen before each write, not only in the waits: a device that is always
// ready would otherwise take the rest of the bytes.
bool DescriptorDevice::WriteOrAbort(int fd, std::string_view bytes, std::chrono::seconds timeout,
                                    const Interrupter& interrupter, const std::string& where)
{
    WriteCalls calls = DescriptorCalls(fd, &interrupter);
    calls.write = [write = std::move(calls.write), &interrupter, this](std::string_view some) -> ssize_t {
        if (interrupter.interrupted()) {
            errno = EAGAIN; // so the wait that follows says why
            return -1;
        }
        const ssize_t written = write(some);
        if (written > 0)
            Handed(static_cast<std::uint64_t>(written));
        return written;
    };
    std::string failure;
    if (WriteAll(calls, bytes, timeout, failure))
        return true;
    const bool stalled = failure.starts_with(TimedOut(timeout));
    return FailWrite(where + failure, stalled);
}

} // namespace rawlet::direct
