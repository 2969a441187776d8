#include "status_sources.h"

#include <algorithm>

namespace rawlet::direct {

using platform::PrinterStatus;

StatusReport::StatusReport(std::string name) { status_.name = std::move(name); }

// A stopped printer is stopped whoever says so; otherwise the first source that knows the
// state tells it.
void StatusReport::Answered(const char* source, const StatusFacts& facts)
{
    status_.sources.emplace_back(source);
    if (facts.state &&
        (status_.state == PrinterStatus::State::Unknown || *facts.state == PrinterStatus::State::Stopped))
        status_.state = *facts.state;
    for (const std::string& reason : facts.reasons)
        if (std::ranges::find(status_.reasons, reason) == status_.reasons.end())
            status_.reasons.push_back(reason);
    if (status_.message.empty())
        status_.message = facts.message;
    if (facts.acceptingJobs)
        accepting_ = accepting_.value_or(true) && *facts.acceptingJobs;
    if (!status_.queuedJobs)
        status_.queuedJobs = facts.queuedJobs;
    if (deviceId_.empty())
        deviceId_ = facts.deviceId;
    if (description_.empty())
        description_ = facts.description;
}

void StatusReport::Unanswered(const char* source) { status_.unanswered.emplace_back(source); }

PrinterStatus StatusReport::Finish(bool reachable, const std::string& failure)
{
    PrinterStatus status = std::move(status_);
    status.answers = reachable || !status.sources.empty();
    status.acceptingJobs = reachable && accepting_.value_or(true);
    if (!reachable && !failure.empty())
        status.message = failure;
    const DeviceId id = ParseDeviceId(deviceId_);
    status.manufacturer = id.manufacturer;
    status.model = id.model.empty() ? description_ : id.model; // the device's own name for itself
    status.commandSet = id.commandSet;
    status.ready = status.acceptingJobs && status.state != PrinterStatus::State::Stopped &&
                   std::ranges::none_of(status.reasons, [](const std::string& reason) {
                       return platform::StopsPrinting(reason);
                   });
    return status;
}

} // namespace rawlet::direct
