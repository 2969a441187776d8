#pragma once

#include <netdb.h>

#include <mutex>

#include "device.h"
#include "fd_io.h"
#include "unique_fd.h"

namespace rawlet::direct {

// An AppSocket (JetDirect) printer: one TCP connection per document. The document is
// delivered once the printer has acknowledged every byte and, having read our end of the
// stream, closed its own.
class SocketDevice : public Device {
public:
    explicit SocketDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int descriptor() const noexcept override { return connection_.get(); }

private:
    bool ConnectTo(const ::addrinfo& address, Clock::time_point deadline);
    bool AwaitDelivery();
    bool FailShutdown(int error);
    bool FailWait(int problem, const std::string& waitingFor);
    void Keep(UniqueFd connection);

    DeviceUri uri_;
    Interrupter interrupter_;
    std::mutex connectionMutex_; // held only to replace the connection, never while waiting
    UniqueFd connection_;
};

} // namespace rawlet::direct
