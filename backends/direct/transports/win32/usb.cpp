// usb://MAKE/MODEL[?OPTIONS]: a printer on the USB printing class driver, named by the make
// and model of its IEEE 1284 device ID (percent-encoded, as %20 for a space). Options,
// joined by '+':
//   serial=N             the serial number of its USB device, where several of a model are
//                        attached (the first found otherwise)
//   timeout=S            the longest stall (10 s)
//   status=escpos|zpl    ask its status in its own language too, and, when the caller
//                        waits, whether it printed a job
//
// It is written as a device file is, opened both ways, and tells its port status and device
// ID (the driver's IOCTL_USBPRINT_GET_LPT_STATUS and IOCTL_USBPRINT_GET_1284_ID).
#include "win32_transports.h"

#include <algorithm>
#include <cctype>

namespace rawlet::direct {

namespace {

// The longest wait for the driver's answer to a status request.
constexpr auto kPortStatusWait = std::chrono::seconds(2);

bool SameName(std::string_view a, std::string_view b)
{
    const auto trimmed = [](std::string_view text) {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        return text;
    };
    a = trimmed(a);
    b = trimmed(b);
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string PercentEncoded(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded.push_back(c);
            continue;
        }
        encoded += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return encoded;
}

std::string Named(const DeviceUri::UsbPrinter& printer)
{
    return printer.make + " " + printer.model +
           (printer.serialNumber.empty() ? "" : " with serial number " + printer.serialNumber);
}

} // namespace

std::string SerialOfInstance(std::string_view instanceId)
{
    const std::size_t slash = instanceId.rfind('\\');
    const std::string_view last =
        slash == std::string_view::npos ? std::string_view() : instanceId.substr(slash + 1);
    return last.find('&') == std::string_view::npos ? std::string(last) : std::string();
}

const UsbPort* FindUsbPrinter(const std::vector<UsbPort>& ports, const DeviceUri::UsbPrinter& printer)
{
    for (const UsbPort& port : ports) {
        const DeviceId id = ParseDeviceId(port.deviceId);
        if (SameName(id.manufacturer, printer.make) && SameName(id.model, printer.model) &&
            (printer.serialNumber.empty() || SerialOfInstance(port.instanceId) == printer.serialNumber))
            return &port;
    }
    return nullptr;
}

std::string UsbUri(const UsbPort& port)
{
    const DeviceId id = ParseDeviceId(port.deviceId);
    if (id.manufacturer.empty() || id.model.empty())
        return {};
    const std::string serial = SerialOfInstance(port.instanceId);
    return "usb://" + PercentEncoded(id.manufacturer) + "/" + PercentEncoded(id.model) +
           (serial.empty() ? "" : "?serial=" + PercentEncoded(serial));
}

std::vector<std::string> UnconfiguredUsbPrinters(const std::vector<UsbPort>& attached,
                                                 const std::vector<DeviceUri>& configured)
{
    std::vector<const UsbPort*> reached;
    for (const DeviceUri& uri : configured)
        if (uri.kind == DeviceUri::Kind::Usb)
            reached.push_back(FindUsbPrinter(attached, uri.usb));
    std::vector<std::string> uris;
    for (const UsbPort& port : attached) {
        std::string uri = UsbUri(port);
        if (!uri.empty() && std::find(reached.begin(), reached.end(), &port) == reached.end())
            uris.push_back(std::move(uri));
    }
    return uris;
}

std::optional<UsbPort> UsbDevice::Find()
{
    const std::vector<UsbPort> attached = system_->Attached();
    const UsbPort* port = FindUsbPrinter(attached, uri_.usb);
    if (!port) {
        Fail("no USB printer " + Named(uri_.usb) + " is attached");
        return std::nullopt;
    }
    deviceId_ = port->deviceId;
    return *port;
}

bool UsbDevice::Connect()
{
    if (io_.interrupted())
        return Fail("interrupted");
    const auto port = Find();
    return port && Open(port->devicePath, GENERIC_READ | GENERIC_WRITE, false, false);
}

bool UsbDevice::ConnectToLook(bool)
{
    if (io_.interrupted())
        return Fail("interrupted");
    const auto port = Find();
    return port && Open(port->devicePath, GENERIC_READ | GENERIC_WRITE, false, true);
}

std::optional<StatusFacts> UsbDevice::AskPort()
{
    const auto status =
        handle() ? system_->PortStatus(handle(), Clock::now() + kPortStatusWait) : std::nullopt;
    if (!status && deviceId_.empty())
        return std::nullopt;
    StatusFacts facts = status ? DecodePortStatus(*status) : StatusFacts{};
    facts.deviceId = deviceId_;
    return facts;
}

} // namespace rawlet::direct
