#include "transports.h"

namespace rawlet::direct {

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

bool Device::WriteOrAbort(int fd, std::string_view bytes, std::chrono::seconds timeout,
                          const Interrupter& interrupter, const std::string& where)
{
    std::string failure;
    if (WriteAll(fd, bytes, timeout, &interrupter, failure))
        return true;
    Abort();
    return Fail(where + failure);
}

// Only a device that keeps jobs (jobId() non-zero) has them followed; one that cannot tell
// never calls a job printed.
std::optional<std::string> Device::Follow(int, const StateListener&)
{
    return "job state unavailable: the printer keeps no jobs";
}

} // namespace rawlet::direct
