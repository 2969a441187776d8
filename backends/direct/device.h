#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device_uri.h"
#include "status_facts.h"

namespace rawlet::direct {

// A printer reached without a scheduler. Each call reports failure by its result and then
// leaves the reason in failure(). None waits without a deadline: the URI's timeout bounds how
// long the device may take nothing (a stall), and every wait ends at once on Interrupt().
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
    // From any thread, while another may be in a call on the device: that call, and every
    // later one, fails at once, and the document in progress is not delivered, even when the
    // process ends before the device is closed.
    virtual void Interrupt() noexcept = 0;

    const std::string& failure() const noexcept { return failure_; }

    // The open connection, after Connect, for a status query in the printer's own language
    // (written and read by the caller's thread only); -1 where there is none.
    virtual int descriptor() const noexcept { return -1; }

    // What the device's own protocol told of its state when it connected (IPP does); nothing
    // for the others.
    virtual std::optional<StatusFacts> connectFacts() const { return std::nullopt; }

    // The number the device gave the last document it took, for a device that keeps jobs
    // and can tell when they have printed (IPP); zero for the others, whose delivery is the end.
    virtual int jobId() const noexcept { return 0; }
    // Whether the last Connect that failed had an answer from the device, a refusal, rather
    // than none: only a device that speaks a protocol can tell.
    virtual bool refused() const noexcept { return false; }

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
