#pragma once

#include "posix_platform.h"
#include <rawlet/platform/printer_list.h>

#include "cups_printer_list.h"
#include "direct_printers.h"

namespace rawlet::posix {

// The scheduler's queues, then the direct printers. Names are matched the other way round:
// a direct printer takes the place of a queue of the same name, and is found without asking
// the scheduler.
class CombinedPrinterList : public platform::PrinterList {
public:
    CombinedPrinterList(cups::CupsPrinterList& queues, const direct::DirectSpooler& direct)
        : queues_(queues), direct_(direct)
    {}

    std::vector<std::string> DeviceNames() override;
    void FindDeviceName(const std::function<bool(const std::string& name)>& visit) override;
    std::vector<PrinterDescription> Describe();

    // From now on the list holds the direct printers only, and the scheduler is not asked.
    void LeaveOutQueues() noexcept { queuesShown_ = false; }

private:
    bool queuesShown_ = true;
    cups::CupsPrinterList& queues_;
    const direct::DirectSpooler& direct_;
};

} // namespace rawlet::posix
