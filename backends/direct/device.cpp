#include "device.h"

#include "ipp_device.h"
#include "line_device.h"
#include "socket_device.h"

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
    case DeviceUri::Kind::File:
        break;
    }
    return std::make_unique<LineDevice>(uri);
}

} // namespace rawlet::direct
