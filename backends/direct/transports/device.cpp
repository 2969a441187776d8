#include "transports.h"

#include <algorithm>
#include <cerrno>

namespace rawlet::direct {

std::string Grouped(std::uint64_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::unique_ptr<Device> MakeDevice(const DeviceUri& uri)
{
    switch (uri.kind) {
    case DeviceUri::Kind::Socket:
        return std::make_unique<SocketDevice>(uri);
    case DeviceUri::Kind::Ipp:
    case DeviceUri::Kind::Ipps:
        return std::make_unique<IppDevice>(uri);
    case DeviceUri::Kind::Serial:
        return std::make_unique<SerialLine>(uri);
    case DeviceUri::Kind::File:
        break;
    }
    return std::make_unique<DeviceFile>(uri);
}

// An interruption is seen before each write, not only in the waits: a device that is always
// ready would otherwise take the rest of the bytes.
bool Device::WriteOrAbort(int fd, std::string_view bytes, std::chrono::seconds timeout,
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
            handed_ += static_cast<std::uint64_t>(written);
        return written;
    };
    std::string failure;
    if (WriteAll(calls, bytes, timeout, failure))
        return true;
    stalled_ = failure.starts_with(TimedOut(timeout));
    Abort();
    return Fail(where + failure);
}

void Device::StartCounting() noexcept
{
    handed_ = 0;
    stalled_ = false;
    std::lock_guard lock(takenMutex_);
    noted_ = false;
    taken_.clear();
}

std::string Device::taken() const
{
    std::lock_guard lock(takenMutex_);
    return taken_;
}

bool Device::tookNone() const
{
    std::lock_guard lock(takenMutex_);
    return noted_ ? tookNone_ : handed_ == 0;
}

void Device::NoteTaken(const Had& had) noexcept
{
    if (!had.taken)
        return NoteTaken(had.sent == 0 ? Taken(had.had, 0, 0)
                                       : "the printer may have taken any of the bytes sent",
                         had.sent == 0);
    const std::uint64_t taken = std::min(*had.taken, had.sent);
    NoteTaken(Taken(had.had, taken, had.sent), taken == 0);
}

void Device::NoteTaken(std::string taken, bool none) noexcept
{
    std::lock_guard lock(takenMutex_);
    if (noted_)
        return;
    noted_ = true;
    taken_.swap(taken);
    tookNone_ = none;
}

std::string Device::Taken(const std::string& had, std::uint64_t taken, std::uint64_t sent)
{
    if (sent == 0)
        return "nothing had been sent: nothing will print";
    if (taken == 0)
        return had + " none of " + Grouped(sent) + " bytes: nothing will print";
    return had + " " + Grouped(taken) + " of " + Grouped(sent) + " bytes and may print them";
}

void Device::Confirm(int fd, const Interrupter& interrupter)
{
    confirmation_.reset();
    if (confirm_ && fd >= 0)
        confirmation_ = confirm_(fd, interrupter);
}

// Only a device that keeps jobs (jobId() non-zero) has them followed; one that cannot tell
// never calls a job printed.
ipp::JobEnd Device::Follow(int, const std::string& jobName, std::optional<Clock::time_point>,
                           const StateListener&)
{
    return {Outcome::unknown, jobName + " may print: its state is unavailable: the printer keeps no jobs"};
}

} // namespace rawlet::direct
