#pragma once

#include <atomic>
#include <mutex>
#include <optional>

#include "backends/cups/cups_resources.h"
#include "device.h"

namespace rawlet::direct {

// An IPP printer, or a queue of a remote scheduler, reached straight at its URI: one
// Print-Job request per document, its body streamed as it is written, as raw data
// (application/octet-stream). Delivered once the printer answers that it took the job.
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

private:
    void Keep(cups::Http http) noexcept;

    bool FailWithIppError(const std::string& doing);
    std::string ConnectionFailure(int error) const;

    friend std::optional<std::string> FollowIppJob(const DeviceUri& uri, int jobId);
    std::optional<std::string> Follow(int jobId);

    DeviceUri uri_;
    std::string printerUri_; // the URI without its options
    std::mutex httpMutex_;   // held only to replace the connection, never while it is used
    cups::Http http_;
    std::atomic<bool> interrupted_ = false;
    bool inRequest_ = false;
    int jobId_ = 0;
};

// Follows job `jobId` of the printer at `uri` until it has printed (nothing returned) or can no
// longer print: then the reason, such as "job aborted: ...".
std::optional<std::string> FollowIppJob(const DeviceUri& uri, int jobId);

} // namespace rawlet::direct
