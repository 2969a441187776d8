#include "posix_transports.h"

namespace rawlet::direct {

// A device is named by its POSIX path here: COM7 or C:\out would be opened as a file of that
// name in the working folder.
void CheckTransport(const DeviceUri& uri)
{
    if (uri.kind == DeviceUri::Kind::Usb)
        throw BadDeviceUri("'" + uri.text +
                           "': usb:// printers are reached on Windows only: name the printer's "
                           "device here, as in file:/dev/usb/lp0");
    const bool local = uri.kind == DeviceUri::Kind::Serial || uri.kind == DeviceUri::Kind::File;
    if (local && IsWindowsPath(uri.path))
        throw BadDeviceUri("'" + uri.text + "': " + uri.path +
                           " is a Windows device or file: name the device by its path, as in "
                           "serial:/dev/ttyS0 or file:/dev/usb/lp0");
}

std::unique_ptr<Device> MakeDevice(const DeviceUri& uri)
{
    CheckTransport(uri);
    switch (uri.kind) {
    case DeviceUri::Kind::Socket:
        return std::make_unique<SocketDevice>(uri);
    case DeviceUri::Kind::Ipp:
    case DeviceUri::Kind::Ipps:
        return std::make_unique<IppDevice>(uri);
    case DeviceUri::Kind::Serial:
        return std::make_unique<SerialLine>(uri);
    case DeviceUri::Kind::File:
    case DeviceUri::Kind::Usb:
        break;
    }
    return std::make_unique<DeviceFile>(uri);
}

} // namespace rawlet::direct
