#pragma once

// The transports of direct printers on Windows, on Boost.Asio, one file per URI scheme
// (socket.cpp, serial.cpp, file.cpp), each opening with its URI grammar, and this system's
// MakeDevice (make_device.cpp). Each device owns its Asio context (BoundedIo), in which every
// wait has a deadline and which Interrupt() ends from another thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/asio/windows/random_access_handle.hpp>

#include "bounded_io.h"
#include "handle_stream.h"
#include "stream_channel.h"
#include "transports.h"

namespace rawlet::direct {

// host_lookup.cpp: the addresses of `host`, looked up by `deadline` at the latest and given up
// at once when `io` is interrupted; empty, with `failure` saying why, when there are none.
std::vector<boost::asio::ip::tcp::endpoint> LookUpHost(const std::string& host, int port,
                                                       Clock::time_point deadline, const BoundedIo& io,
                                                       std::string& failure);

// ---- The transports ----------------------------------------------------------------------

// Each device's I/O object is used by the thread in a call on the device; its mutex is held
// only to open or close it, and by another thread (Interrupt) to read what the printer had.

// What a TCP connection counts of the bytes it sent (SIO_TCP_INFO): all it sent, and how
// many of them the printer has not acknowledged yet.
struct TcpCounts {
    std::uint64_t sent = 0;
    std::uint64_t inFlight = 0;
};
// The counts of a connection, by its socket; nothing where the system keeps none (before
// Windows 10 1703, and Wine). Tests give their own.
using TcpCounter = std::function<std::optional<TcpCounts>(SOCKET socket)>;
std::optional<TcpCounts> SystemTcpCounts(SOCKET socket);

// socket.cpp: an AppSocket (JetDirect) printer, one TCP connection per document.
class SocketDevice final : public Device {
public:
    explicit SocketDevice(DeviceUri uri, TcpCounter counts = SystemTcpCounts)
        : uri_(std::move(uri)), counts_(std::move(counts))
    {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    Channel* channel() noexcept override { return socket_.is_open() ? &channel_ : nullptr; }

private:
    using Tcp = boost::asio::ip::tcp;

    bool ConnectTo(const Tcp::endpoint& endpoint, Clock::time_point deadline);
    bool AwaitAcknowledged();
    bool HungUp();
    bool AwaitDelivery();
    bool ClosedAfterOurEnd();
    std::optional<std::uint64_t> Unacknowledged() const;
    Had HadNow() const override;
    void Cancel() noexcept;
    void Close() noexcept;
    void CloseLocked() noexcept;

    DeviceUri uri_;
    TcpCounter counts_;
    Tcp::endpoint local_, remote_; // of the connection
    BoundedIo io_;
    Tcp::socket socket_{io_.context()};
    StreamChannel<Tcp::socket> channel_{io_, socket_};
    std::mutex socketMutex_;
};

// serial.cpp: a printer on a COM port.
class SerialDevice final : public Device {
public:
    explicit SerialDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    Channel* channel() noexcept override { return port_.is_open() ? &channel_ : nullptr; }

private:
    bool Open();
    bool SetUp();
    bool AwaitSent();
    std::optional<std::uint64_t> Unsent() const;
    Had HadNow() const override;
    void DropUnsent() noexcept;
    void Cancel() noexcept;
    void Close() noexcept;

    DeviceUri uri_;
    BoundedIo io_;
    boost::asio::serial_port port_{io_.context()};
    StreamChannel<boost::asio::serial_port> channel_{io_, port_};
    std::mutex portMutex_;
    bool look_ = false; // open only to ask its status: nothing it holds is set up or dropped
};

// file.cpp: a printer on a Windows device such as LPT1, or a file standing for one.
class FileDevice : public Device {
public:
    explicit FileDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    // A device's, both ways; a file has none.
    Channel* channel() noexcept override { return file_.is_open() && !isFile_ ? &channel_ : nullptr; }

protected:
    // Opens the device or file `name` (as the system names it) with `access`, emptying a file
    // when `empty`, for a job unless `look`.
    bool Open(const std::wstring& name, unsigned long access, bool empty, bool look);
    // The open device, to ask it what its driver tells; null when it is not open.
    HANDLE handle() noexcept { return file_.is_open() ? file_.native_handle() : nullptr; }

    const DeviceUri uri_;
    BoundedIo io_;

private:
    // A write under way may have given the device any of its bytes.
    Had HadNow() const override
    {
        const std::uint64_t sent = offered();
        return {"the device had taken", sent, sent == handed() ? std::optional(sent) : std::nullopt};
    }
    void Cancel() noexcept;
    void Close() noexcept;

    boost::asio::windows::random_access_handle file_{io_.context()};
    HandleStream stream_{file_};
    StreamChannel<HandleStream> channel_{io_, stream_};
    std::uint64_t offset_ = 0; // where the next byte goes in a file; a device ignores it
    std::mutex fileMutex_;
    bool isFile_ = false;
    bool look_ = false; // open only to ask its status
};

// ---- usb.cpp, usb_print_class.cpp: printers on the USB printing class driver ------------

// A printer the USB printing class driver has, as the system lists it.
struct UsbPort {
    std::wstring devicePath; // its device interface's path, which CreateFile opens
    std::string instanceId;  // the USB device's: USB\VID_04B8&PID_0202\J5TF012345
    std::string deviceId;    // its IEEE 1284 device ID; empty when it did not answer
};

// What the system tells of USB printers: the seam behind which tests give their own, since
// Wine has no USB printing class devices.
class UsbPrintClass {
public:
    virtual ~UsbPrintClass() = default;
    // The printers attached now (SetupAPI), each asked its device ID.
    virtual std::vector<UsbPort> Attached() = 0;
    // The open printer's port status byte (IOCTL_USBPRINT_GET_LPT_STATUS), asked by
    // `deadline`; nothing when it did not answer.
    virtual std::optional<int> PortStatus(HANDLE device, Clock::time_point deadline) = 0;
};

// usb_print_class.cpp: the system's.
std::unique_ptr<UsbPrintClass> SystemUsbPrintClass();

// The serial number in a USB instance ID, its last part; empty when the system made that
// part up (it holds '&'), as for a device without a serial number.
std::string SerialOfInstance(std::string_view instanceId);
// The port of `ports` that `printer` names (make and model letter case free, and its serial
// number when given); null when none does.
const UsbPort* FindUsbPrinter(const std::vector<UsbPort>& ports, const DeviceUri::UsbPrinter& printer);
// usb://MAKE/MODEL?serial=N, the URI that names `port`; empty for one without a device ID.
std::string UsbUri(const UsbPort& port);
// The URIs of the `attached` printers that none of `configured` reaches (a configured URI
// without a serial number reaches the first of its make and model), for the printer list.
std::vector<std::string> UnconfiguredUsbPrinters(const std::vector<UsbPort>& attached,
                                                 const std::vector<DeviceUri>& configured);

// A printer on the USB printing class driver, found by its make, model and serial number
// each time it is reached, so that it may move from one USB port to another.
class UsbDevice final : public FileDevice {
public:
    UsbDevice(DeviceUri uri, std::unique_ptr<UsbPrintClass> system)
        : FileDevice(std::move(uri)), system_(std::move(system))
    {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool onPrinterPort() const noexcept override { return true; }
    std::optional<StatusFacts> AskPort() override;

private:
    std::optional<UsbPort> Find();

    std::unique_ptr<UsbPrintClass> system_;
    std::string deviceId_; // the device ID of the printer found
};

// Asio's accessor of an I/O object's handle changes nothing, though it is not const.
template <class IoObject> auto NativeOf(const IoObject& object)
{
    return const_cast<IoObject&>(object).native_handle();
}

} // namespace rawlet::direct
