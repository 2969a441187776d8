#pragma once

#include <functional>
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

    // Calls `visit` with each device name in the order in which names are matched, until it
    // returns true (found). A list gathered from several sources asks each one only when the
    // walk reaches it, so a name found early never waits for a slow source. The default
    // walks DeviceNames().
    virtual void FindDeviceName(const std::function<bool(const std::string& name)>& visit)
    {
        for (const std::string& name : DeviceNames())
            if (visit(name))
                return;
    }
};

} // namespace rawlet::platform
