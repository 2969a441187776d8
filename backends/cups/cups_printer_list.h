#pragma once

#include <rawlet/platform/printer_list.h>

namespace rawlet::cups {

// The scheduler's destinations (queues and classes), in the order CUPS reports them.
class CupsPrinterList : public platform::PrinterList {
public:
    std::vector<std::string> DeviceNames() override;
};

} // namespace rawlet::cups
