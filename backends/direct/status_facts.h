#pragma once

#include <optional>
#include <string>
#include <vector>

#include <rawlet/platform/printer_status.h>

namespace rawlet::direct {

// What one source of status (the port, SNMP, IPP, the printer's own language) told about a
// printer. Only what the source answered is set; the rest stays unknown.
struct StatusFacts {
    std::optional<platform::PrinterStatus::State> state;
    std::vector<std::string> reasons; // IPP keywords with their severity suffix
    std::string message;
    std::optional<bool> acceptingJobs;
    std::optional<int> queuedJobs;
    std::string deviceId;    // the IEEE 1284 device ID, as the printer gave it
    std::string description; // the printer's own name for itself (hrDeviceDescr)
};

} // namespace rawlet::direct
