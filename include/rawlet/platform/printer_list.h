#pragma once

#include <string>
#include <vector>

namespace rawlet::platform {

// The installed printers.
class PrinterList {
public:
    virtual ~PrinterList() = default;

    // The device name of every installed printer, spelled as the system spells it, in the
    // order in which the system reports them. Empty when there are none or the list cannot
    // be read; never throws.
    virtual std::vector<std::string> DeviceNames() = 0;
};

} // namespace rawlet::platform
