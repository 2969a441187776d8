#pragma once

#include <string>
#include <string_view>

namespace rawlet::direct {

// The parts of an IEEE 1284 device ID that name a printer and its languages.
struct DeviceId {
    std::string manufacturer;
    std::string model;
    std::string commandSet; // the languages, comma-separated: "ESC/POS,ZPL"
};

// Reads "MFG:Acme;MDL:TM-42;CMD:ESC/POS;" and its long spelling (MANUFACTURER, MODEL,
// COMMAND SET), keys in any letter case; a key missing leaves its part empty.
DeviceId ParseDeviceId(std::string_view id);

} // namespace rawlet::direct
