#pragma once

#include <vector>

#include <rawlet/platform/printer_list.h>
#include <rawlet/printer_description.h>

namespace rawlet::cups {

// The scheduler's destinations (queues and classes), in the order CUPS reports them.
class CupsPrinterList : public platform::PrinterList {
public:
    std::vector<std::string> DeviceNames() override;
    // Each queue with its device URI, where the scheduler tells it.
    std::vector<PrinterDescription> Describe();
};

} // namespace rawlet::cups
