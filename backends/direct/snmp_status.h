#pragma once

#include <optional>
#include <string>

#include "fd_io.h"
#include "status_facts.h"

namespace rawlet::direct {

constexpr int kSnmpPort = 161;

// What the SNMP agent of a printer at `host` says of it, asked with `community` by the end of
// `deadline`: its state (hrPrinterStatus), the conditions it flags (hrPrinterDetectedErrorState),
// its description (hrDeviceDescr) and its IEEE 1284 device ID (the Printer Port Monitor MIB's).
// An object the agent lacks leaves its fact unknown. Nothing when no agent answers in time,
// when libnetsnmp cannot be loaded or when `community` is empty (SNMP turned off).
std::optional<StatusFacts> AskSnmp(const std::string& host, const std::string& community,
                                   Clock::time_point deadline, int port = kSnmpPort);

} // namespace rawlet::direct
