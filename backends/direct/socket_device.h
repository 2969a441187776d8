#pragma once

#include <netdb.h>

#include <chrono>

#include "device.h"
#include "unique_fd.h"

namespace rawlet::direct {

// An AppSocket (JetDirect) printer: one TCP connection per document. The document is
// delivered once the printer, having read our end of the stream, closes its own, and has
// acknowledged every byte.
class SocketDevice : public Device {
public:
    explicit SocketDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;

private:
    bool ConnectTo(const ::addrinfo& address);
    bool AwaitPeerClose();
    bool AwaitAcknowledged(std::chrono::steady_clock::time_point deadline);
    bool FailShutdown(int error);

    DeviceUri uri_;
    UniqueFd connection_;
};

} // namespace rawlet::direct
