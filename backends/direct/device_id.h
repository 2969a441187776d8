#pragma once

#include <string>
#include <string_view>

namespace rawlet::direct {

// What an IEEE 1284 device ID says of the printer.
struct DeviceId {
    std::string manufacturer;
    std::string model;
    std::string commandSet;
};

// "MFG:Acme;MDL:TM-42;CMD:ESC/POS;" (or the long keys MANUFACTURER, MODEL, COMMAND SET), keys
// without regard to case; what it does not say stays empty.
DeviceId ParseDeviceId(std::string_view id);

} // namespace rawlet::direct
