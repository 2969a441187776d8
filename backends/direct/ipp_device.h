#pragma once

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

private:
    bool FailWithIppError(const std::string& doing);

    DeviceUri uri_;
    std::string printerUri_; // the URI without its options
    cups::Http http_;
    bool inRequest_ = false;
};

} // namespace rawlet::direct
