// The system's USB printing class: the printers SetupAPI lists under the driver's device
// interface (GUID_DEVINTERFACE_USBPRINT), and the driver's requests for a printer's device ID
// and port status, each with a deadline.
#include "win32_transports.h"

// clang-format off: the GUID is defined here, and usbprint.h needs the I/O control macros first
#include <initguid.h>
#include <setupapi.h>
#include <usbprint.h>
#include <winioctl.h>
// clang-format on

#include <algorithm>
#include <cstdint>

#include "ansi_text.h"
#include "unique_handle.h"

namespace rawlet::direct {

namespace {

// The longest wait for a printer's device ID while the printers are listed.
constexpr auto kDeviceIdWait = std::chrono::seconds(2);
// Device IDs are at most this long, with their two-octet length.
constexpr std::size_t kLongestDeviceId = 1024;
// A device instance ID is at most this long (cfgmgr32's MAX_DEVICE_ID_LEN).
constexpr DWORD kLongestInstanceId = 200;

using UniqueHandle = winapi::Unique<HANDLE, ::CloseHandle>;

// How long a cancelled request may take to end; a driver that keeps it longer is left with it.
constexpr auto kLongestCancellation = std::chrono::seconds(1);

// A request to a driver: the system writes its answer and its end into it, however late.
struct Request {
    UniqueHandle event{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    std::string reply;
};

DWORD Milliseconds(Clock::duration wait)
{
    const auto count = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count();
    return static_cast<DWORD>(std::max<long long>(count, 0));
}

// Asks the driver of the open `device` by the request `code` and returns its reply, or nothing
// when it fails or has not answered by `deadline`. The device's handle may belong to an Asio
// context: the event's low bit keeps the answer out of its completion port. A request the
// driver keeps after its cancellation is never waited for: it is left to the driver, memory
// and all, which the system may still write into.
std::optional<std::string> Ask(HANDLE device, DWORD code, std::size_t size, Clock::time_point deadline)
{
    auto request = std::make_unique<Request>();
    if (!request->event)
        return std::nullopt;
    request->overlapped.hEvent =
        reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(request->event.get()) | 1);
    request->reply.assign(size, '\0');
    DWORD got = 0;
    if (!::DeviceIoControl(device, code, nullptr, 0, request->reply.data(), static_cast<DWORD>(size), &got,
                           &request->overlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            return std::nullopt;
        if (::WaitForSingleObject(request->event.get(), Milliseconds(deadline - Clock::now())) !=
            WAIT_OBJECT_0) {
            ::CancelIoEx(device, &request->overlapped);
            if (::WaitForSingleObject(request->event.get(), Milliseconds(kLongestCancellation)) !=
                WAIT_OBJECT_0) {
                static_cast<void>(request.release());
                return std::nullopt;
            }
        }
        if (!::GetOverlappedResult(device, &request->overlapped, &got, FALSE))
            return std::nullopt;
    }
    request->reply.resize(got);
    return std::move(request->reply);
}

// The device ID of the printer at `path`; empty when it cannot be opened, as when another
// program prints to it, or does not answer.
std::string DeviceIdAt(const std::wstring& path)
{
    HANDLE opened =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    const UniqueHandle device(opened);
    const auto reply =
        Ask(device.get(), IOCTL_USBPRINT_GET_1284_ID, kLongestDeviceId, Clock::now() + kDeviceIdWait);
    return reply ? DeviceIdOfPortReply(*reply) : std::string();
}

class SystemPrintClass final : public UsbPrintClass {
public:
    std::vector<UsbPort> Attached() override
    {
        HDEVINFO set = ::SetupDiGetClassDevsW(&GUID_DEVINTERFACE_USBPRINT, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE)
            return {};
        const winapi::Unique<HDEVINFO, ::SetupDiDestroyDeviceInfoList> owned(set);
        std::vector<UsbPort> ports;
        SP_DEVICE_INTERFACE_DATA interface {};
        interface.cbSize = sizeof interface;
        for (DWORD index = 0;
             ::SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_USBPRINT, index, &interface);
             ++index)
            if (auto port = PortOf(set, interface))
                ports.push_back(std::move(*port));
        return ports;
    }

    std::optional<int> PortStatus(HANDLE device, Clock::time_point deadline) override
    {
        const auto reply = Ask(device, IOCTL_USBPRINT_GET_LPT_STATUS, 1, deadline);
        if (!reply || reply->empty())
            return std::nullopt;
        return static_cast<unsigned char>(reply->front());
    }

private:
    static std::optional<UsbPort> PortOf(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interface)
    {
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set, &interface, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            return std::nullopt;
        std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1); // aligned for the structure
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof *detail;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!::SetupDiGetDeviceInterfaceDetailW(set, &interface, detail, size, nullptr, &device))
            return std::nullopt;
        UsbPort port;
        port.devicePath = detail->DevicePath;
        wchar_t instance[kLongestInstanceId] = {};
        if (::SetupDiGetDeviceInstanceIdW(set, &device, instance, kLongestInstanceId, nullptr))
            port.instanceId = winapi::ToAnsi(instance);
        port.deviceId = DeviceIdAt(port.devicePath);
        return port;
    }
};

} // namespace

std::unique_ptr<UsbPrintClass> SystemUsbPrintClass() { return std::make_unique<SystemPrintClass>(); }

} // namespace rawlet::direct
