#pragma once

#include <functional>
#include <mutex>
#include <optional>

#include "backends/cups/cups_resources.h"
#include "device.h"
#include "fd_io.h"

namespace rawlet::direct {

// An IPP printer, or a queue of a remote scheduler, reached straight at its URI: one
// Print-Job request per document, its body streamed as it is written, as raw data
// (application/octet-stream). Delivered once the printer answers that it took the job.
//
// Requests go out as IPP/2.0, and as 1.1 or 1.0 to a printer that refuses the newer version
// when first asked for its state: the version it took serves every later request.
class IppDevice : public Device {
public:
    using StateListener = std::function<void(const std::string& state)>;

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

    // Follows job `jobId` until it has printed (nothing returned) or can no longer print: then
    // the reason, such as "job aborted: ...". `onState`, when given, hears each state asked.
    // Ends at once on Interrupt().
    std::optional<std::string> Follow(int jobId, const StateListener& onState = nullptr);

private:
    bool OpenConnection();
    bool AskPrinterState();
    ipp_t* NewRequest(ipp_op_t operation) const;
    cups::Ipp Ask(ipp_t* request);
    std::string Unsuccessful(ipp_t* response) const;
    bool StillWanted();
    void Keep(cups::Http http) noexcept;
    std::string ConnectionFailure(int error) const;

    DeviceUri uri_;
    std::string printerUri_; // the URI without its options, "/" for a printer at the root
    std::mutex httpMutex_;   // held only to replace the connection, never while it is used
    cups::Http http_;
    Interrupter interrupter_;
    int cancelConnect_ = 0; // libcups's flag to end a connection attempt
    int version_ = 20;      // the IPP version of requests: 20, 11 or 10
    bool inRequest_ = false;
    int jobId_ = 0;
    bool refused_ = false;
    std::optional<StatusFacts> facts_; // what the printer said of its state when asked
};

} // namespace rawlet::direct
