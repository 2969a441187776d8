#include "transports.h"

#include <cerrno>

namespace rawlet::direct {

namespace {

// "65,536": as a person reads a count of bytes.
std::string Grouped(std::uint64_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

} // namespace

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
    Abort();
    return Fail(where + failure);
}

std::string Device::taken() const
{
    std::lock_guard lock(takenMutex_);
    return taken_;
}

void Device::NoteTaken(std::string taken) noexcept
{
    std::lock_guard lock(takenMutex_);
    taken_.swap(taken);
}

std::string Device::Taken(const std::string& had, std::uint64_t taken, std::uint64_t sent)
{
    if (sent == 0)
        return "nothing had been sent: nothing will print";
    if (taken == 0)
        return had + " none of " + Grouped(sent) + " bytes: nothing will print";
    return had + " " + Grouped(taken) + " of " + Grouped(sent) + " bytes and may print them";
}

// Only a device that keeps jobs (jobId() non-zero) has them followed; one that cannot tell
// never calls a job printed.
ipp::JobEnd Device::Follow(int, const std::string& jobName, std::optional<Clock::time_point>,
                           const StateListener&)
{
    return {Outcome::unknown, jobName + " may print: its state is unavailable: the printer keeps no jobs"};
}

} // namespace rawlet::direct
