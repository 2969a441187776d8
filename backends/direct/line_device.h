#pragma once

#include <mutex>

#include "device.h"
#include "fd_io.h"
#include "unique_fd.h"

namespace rawlet::direct {

// A printer on a device file: a serial line (`serial:`, set up with termios) or any other
// character device (`file:`, such as a parallel or USB printer port; a regular file is
// emptied when it is opened). The device stays open from one document to the next, as a
// port does.
class LineDevice : public Device {
public:
    explicit LineDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int descriptor() const noexcept override { return device_.get(); }

private:
    bool SetUpSerialLine();
    bool AwaitLineDrained();
    void Keep(UniqueFd device);

    DeviceUri uri_;
    Interrupter interrupter_;
    std::mutex deviceMutex_; // held only to replace the device, never while waiting
    UniqueFd device_;
};

} // namespace rawlet::direct
