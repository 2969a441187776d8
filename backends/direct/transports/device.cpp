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

// A device that keeps no jobs has nothing to follow: its delivery is the end.
std::optional<std::string> Device::Follow(int, const StateListener&) { return std::nullopt; }

} // namespace rawlet::direct
