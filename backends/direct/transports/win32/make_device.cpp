#include "win32_transports.h"

namespace rawlet::direct {

// A device is named by its Windows name here: /dev/usb/lp0 would be a path on the current
// drive. IPP printers are reached through a Windows queue, whose driver speaks IPP.
void CheckTransport(const DeviceUri& uri)
{
    if (uri.kind == DeviceUri::Kind::Ipp || uri.kind == DeviceUri::Kind::Ipps)
        throw BadDeviceUri("'" + uri.text +
                           "': ipp:// printers are not available on Windows: name an IPP printer "
                           "through a Windows queue");
    const bool local = uri.kind == DeviceUri::Kind::Serial || uri.kind == DeviceUri::Kind::File;
    if (local && !IsWindowsPath(uri.path))
        throw BadDeviceUri("'" + uri.text + "': " + uri.path +
                           " is a POSIX path: name the device as Windows does, as in serial:COM7, "
                           "file:LPT1 or file:C:\\out\\receipt.bin");
}

std::unique_ptr<Device> MakeDevice(const DeviceUri& uri)
{
    CheckTransport(uri);
    switch (uri.kind) {
    case DeviceUri::Kind::Serial:
        return std::make_unique<SerialDevice>(uri);
    case DeviceUri::Kind::File:
        return std::make_unique<FileDevice>(uri);
    case DeviceUri::Kind::Usb:
        return std::make_unique<UsbDevice>(uri, SystemUsbPrintClass());
    case DeviceUri::Kind::Socket:
    case DeviceUri::Kind::Ipp:
    case DeviceUri::Kind::Ipps:
        break;
    }
    return std::make_unique<SocketDevice>(uri);
}

} // namespace rawlet::direct
