#pragma once

// The transports of direct printers on POSIX systems, over file descriptors: one file per URI
// scheme (socket.cpp, ipp.cpp, serial.cpp, file.cpp), each opening with its URI grammar, and
// this system's MakeDevice (make_device.cpp). What the rest of the direct printers need of
// them goes through transports.h; this header is for the transports and their tests.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "host_lookup.h"
#include "interrupter.h"
#include "reasons.h"
#include "shared_ipp.h"
#include "transports.h"
#include "unique_fd.h"
#include "write_all.h"

namespace rawlet::direct {

using posixapi::Addresses;
using posixapi::DescriptorCalls;
using posixapi::Interrupter;
using posixapi::LookUpHost;
using posixapi::Pause;
using posixapi::Reason;
using posixapi::TimedOut;
using posixapi::UniqueFd;
using posixapi::WaitFor;
using posixapi::WriteAll;
using posixapi::WriteCalls;

// descriptor_channel.cpp: the open connection to a printer, as a descriptor (a socket or a
// device opened both ways), borrowed from its device: nothing here closes it, and no call
// waits past its deadline or, once `interrupter` is interrupted, at all.
class DescriptorChannel : public Channel {
public:
    explicit DescriptorChannel(int fd, const Interrupter* interrupter = nullptr)
        : fd_(fd), interrupter_(interrupter)
    {}

    // The channel over `fd` from now on; null when `fd` is none (-1).
    Channel* On(int fd) noexcept
    {
        fd_ = fd;
        return fd < 0 ? nullptr : this;
    }

    bool Send(std::string_view bytes, Clock::time_point deadline) override;
    // A device opened for writing only (a printer port without a way back) never has an
    // answer: it fails at once.
    bool ReceiveMore(std::string& answer, Clock::time_point deadline) override;
    void DiscardUnread() override;
    bool interrupted() const noexcept override { return interrupter_ && interrupter_->interrupted(); }

private:
    int fd_;
    const Interrupter* interrupter_;
};

// A device that writes its documents to a descriptor.
class DescriptorDevice : public Device {
protected:
    // Writes every byte to `fd`, or ends the document (Abort) and fails with the reason after
    // `where`; the timeout bounds a stall. Stops at once when interrupted, and counts the
    // bytes the system took (handed()).
    bool WriteOrAbort(int fd, std::string_view bytes, std::chrono::seconds timeout,
                      const Interrupter& interrupter, const std::string& where);
};

// printer_port.cpp: asks the printer port open as `fd` (a Linux printer device such as
// /dev/usb/lp0) for its status lines and, where the printer has one, its IEEE 1284 device ID.
// Nothing when the device is not a printer port, or on systems other than Linux.
std::optional<StatusFacts> AskUsbPort(int fd);

// socket.cpp: an AppSocket (JetDirect) printer, one TCP connection per document.
class SocketDevice : public DescriptorDevice {
public:
    explicit SocketDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    Channel* channel() noexcept override { return channel_.On(connection_.get()); }

private:
    bool ConnectTo(const ::addrinfo& address, Clock::time_point deadline);
    bool AwaitAcknowledged();
    bool AwaitDelivery();
    bool FailShutdown(int error);
    bool FailWait(int problem, const std::string& waitingFor);
    void Keep(UniqueFd connection);
    Had HadNow() const override;

    DeviceUri uri_;
    Interrupter interrupter_;
    std::mutex connectionMutex_; // held only to replace or reset the connection, never while waiting
    UniqueFd connection_;
    std::atomic<bool> endSent_ = false; // our end of stream, which the kernel counts as a byte
    DescriptorChannel channel_{-1, &interrupter_};
};

// ipp.cpp: an IPP printer, or a queue of a remote scheduler, one Print-Job per document.
class IppDevice : public Device {
public:
    explicit IppDevice(DeviceUri uri);

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int jobId() const noexcept override { return jobId_; }
    bool refused() const noexcept override { return refused_; }
    std::optional<StatusFacts> connectFacts() const override { return facts_; }
    ipp::JobEnd Follow(int jobId, const std::string& jobName, std::optional<Clock::time_point> deadline,
                       const StateListener& onState, ipp::Subscription events) override;
    void SubscribeAtStart(bool subscribe) noexcept override { subscribeAtStart_ = subscribe; }
    ipp::Subscription events() const noexcept override { return events_; }

private:
    class PrinterJobs;

    // How far the document has come, as Interrupt() tells what the printer had of it.
    enum class Stage { None, Sending, AwaitingAnswer };

    bool OpenConnection();
    bool AskPrinterState();
    bool ChooseJobVersion();
    ipp_t* NewRequest(ipp_op_t operation) const;
    ipp::Ipp Ask(ipp_t* request);
    std::string Unsuccessful(ipp_t* response) const;
    bool WatchConnection();
    void Keep(ipp::Http http) noexcept;
    std::string ConnectionFailure(int error, Clock::time_point deadline);
    std::string Probe(DeviceUri uri);

    DeviceUri uri_;
    std::string printerUri_; // the URI without its options, "/" for a printer at the root
    std::mutex httpMutex_;   // held only to replace the connection or its watch, never while it is used
    ipp::Http http_;
    UniqueFd watched_;              // our own descriptor of http_'s socket, which Interrupt() shuts
    SocketDevice* probe_ = nullptr; // a connection made to learn why libcups's failed
    Interrupter interrupter_;
    int cancelConnect_ = 0;         // libcups's flag to end a connection attempt
    int version_ = 20;              // the IPP version of requests: 20, 11 or 10
    bool jobVersionChosen_ = false; // whether version_ is one the printer takes jobs in
    std::atomic<Stage> stage_ = Stage::None;
    int jobId_ = 0;
    bool refused_ = false;
    bool offersEvents_ = false; // the printer offers subscriptions pulled with ippget
    bool subscribeAtStart_ = false;
    ipp::Subscription events_;         // made as the last document started
    std::optional<StatusFacts> facts_; // what the printer said of its state when asked
};

// file.cpp: a printer on a character device (`file:`, such as a parallel or USB printer
// port; a regular file is emptied when it is opened for a job). The device stays open from
// one document to the next, as a port does. serial.cpp builds a serial line on it.
class DeviceFile : public DescriptorDevice {
public:
    explicit DeviceFile(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    Channel* channel() noexcept override { return channel_.On(descriptor()); }
    bool onPrinterPort() const noexcept override;
    std::optional<StatusFacts> AskPort() override { return AskUsbPort(descriptor()); }
    // The device open for a job, or else for a look; -1 when neither is.
    int descriptor() const noexcept { return device_ ? device_.get() : look_.get(); }

protected:
    // What a kind of device file adds: its set-up once opened, the wait until what it holds
    // has gone out, and, called with the device's lock held, what the printer had of the
    // document (HadNow) and dropping what it has not sent.
    virtual bool SetUp() { return true; }
    virtual bool AwaitSent() { return true; }
    Had HadNow() const override { return {"the device had taken", handed(), handed()}; }
    virtual void DropUnsent() noexcept {}

    const DeviceUri uri_;
    Interrupter interrupter_;
    UniqueFd device_;

private:
    void Keep(UniqueFd device);

    std::mutex deviceMutex_; // held only to replace the device, never while waiting
    // Open only to ask the device's status: what Abort and Interrupt drop is a job's, never
    // what another program left in the device.
    UniqueFd look_;
    DescriptorChannel channel_{-1, &interrupter_};
};

// serial.cpp: a printer on a serial line, set up from the URI with termios.
class SerialLine : public DeviceFile {
public:
    using DeviceFile::DeviceFile;

    bool ConnectToLook(bool query) override;

protected:
    bool SetUp() override;
    bool AwaitSent() override;
    Had HadNow() const override;
    void DropUnsent() noexcept override;
};

} // namespace rawlet::direct
