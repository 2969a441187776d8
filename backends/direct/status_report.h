#pragma once

#include <optional>
#include <string>

#include <rawlet/platform/printer_status.h>

#include "status_facts.h"

namespace rawlet::direct {

// Gathers what the sources of a direct printer's status told into one status: each fact
// with the source it came from, none made up where no source told it.
class StatusReport {
public:
    explicit StatusReport(std::string name);

    void Answered(const char* source, const StatusFacts& facts);
    void Unanswered(const char* source);
    // Ready only when the printer can be reached, takes jobs, and no source knows of
    // anything that stops it. `failure` is why it could not be reached, if it could not.
    platform::PrinterStatus Finish(bool reachable, const std::string& failure);

private:
    platform::PrinterStatus status_;
    std::optional<bool> accepting_;
    std::string deviceId_;
    std::string description_;
};

} // namespace rawlet::direct
