#pragma once

// The transports of direct printers on Windows, on Boost.Asio, one file per URI scheme
// (socket.cpp, serial.cpp, file.cpp), each opening with its URI grammar, and this system's
// MakeDevice (make_device.cpp). Each device owns its Asio context (BoundedIo), in which every
// wait has a deadline and which Interrupt() ends from another thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/asio/windows/random_access_handle.hpp>

#include "bounded_io.h"
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

// socket.cpp: an AppSocket (JetDirect) printer, one TCP connection per document.
class SocketDevice final : public Device {
public:
    explicit SocketDevice(DeviceUri uri) : uri_(std::move(uri)) {}

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
    std::optional<std::uint64_t> Unacknowledged() const;
    Had HadNow() const override;
    void Cancel() noexcept;
    void Close() noexcept;
    void CloseLocked() noexcept;

    DeviceUri uri_;
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
class FileDevice final : public Device {
public:
    explicit FileDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;

private:
    bool Open(unsigned long access, bool empty);
    Had HadNow() const override { return {"the device had taken", handed(), handed()}; }
    void Cancel() noexcept;

    DeviceUri uri_;
    BoundedIo io_;
    boost::asio::windows::random_access_handle file_{io_.context()};
    std::uint64_t offset_ = 0; // where the next byte goes in a file; a device ignores it
    std::mutex fileMutex_;
    bool look_ = false; // open only to ask its status
};

// Asio's accessor of an I/O object's handle changes nothing, though it is not const.
template <class IoObject> auto NativeOf(const IoObject& object)
{
    return const_cast<IoObject&>(object).native_handle();
}

} // namespace rawlet::direct
