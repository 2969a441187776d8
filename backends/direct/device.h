#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "device_uri.h"

namespace rawlet::direct {

// A printer reached without a scheduler. Each call reports failure by its result and then
// leaves the reason in failure(); none blocks for longer than the URI's timeout at a time.
class Device {
public:
    virtual ~Device() = default;

    // Reaches the device (connects, opens), so that a printer that cannot be reached fails
    // before any byte is offered. Begin does it again for a later document when needed.
    virtual bool Connect() = 0;
    virtual bool Begin(const std::string& title) = 0;
    // Hands every byte to the device, or fails.
    virtual bool Write(std::string_view bytes) = 0;
    // True only once the device holds the whole document.
    virtual bool Finish() = 0;
    // Ends the document at once, so the device does not take it as complete where it can tell.
    virtual void Abort() noexcept = 0;

    const std::string& failure() const noexcept { return failure_; }

    // The number the device gave the last document it took, for a device that keeps jobs
    // and can tell when they have printed (IPP); zero for the others, whose delivery is the end.
    virtual int jobId() const noexcept { return 0; }

protected:
    bool Fail(std::string reason)
    {
        failure_ = std::move(reason);
        return false;
    }

private:
    std::string failure_;
};

// The device a URI names.
std::unique_ptr<Device> MakeDevice(const DeviceUri& uri);

} // namespace rawlet::direct
