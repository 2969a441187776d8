#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/platform/printer_status.h>

namespace rawlet::direct {

// What the values an SNMP agent gives for a printer's Host Resources and Printer MIB objects
// mean in the status model. Each returns nothing for a value it cannot read, so that the fact
// stays unknown.

// hrPrinterStatus (RFC 3805, after RFC 2790).
std::optional<platform::PrinterStatus::State> StateOfPrinterStatus(long hrPrinterStatus);

// hrPrinterDetectedErrorState: the IPP state reasons of the conditions it flags. An empty
// string flags none.
std::vector<std::string> ReasonsOfDetectedErrorState(std::string_view octets);

// hrDeviceDescr, without the padding some agents leave after it.
std::string DeviceDescription(std::string_view octets);

// ppmPrinterIEEE1284DeviceId, without the two-octet length that some printers copy in from
// the port, where the device ID begins with it.
std::string DeviceIdOfPortMonitor(std::string_view octets);

} // namespace rawlet::direct
