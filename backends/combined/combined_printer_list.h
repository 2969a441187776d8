#pragma once

#include <functional>
#include <string>
#include <vector>

#include <rawlet/platform/printer_list.h>
#include <rawlet/printer_description.h>

#include "direct_printers.h"

namespace rawlet::combined {

// The system's queues, then the direct printers. Names are matched the other way round: a
// direct printer takes the place of a queue of the same name (which is then not listed), and
// is found without asking the queues' spooler.
class CombinedPrinterList : public platform::PrinterList {
public:
    using QueueDescriber = std::function<std::vector<PrinterDescription>()>;

    // `describeQueues` describes the queues of `queues`, each with its kind and URI.
    CombinedPrinterList(platform::PrinterList& queues, QueueDescriber describeQueues,
                        const direct::DirectSpooler& direct)
        : queues_(queues), describeQueues_(std::move(describeQueues)), direct_(direct)
    {}

    std::vector<std::string> DeviceNames() override;
    void FindDeviceName(const std::function<bool(const std::string& name)>& visit) override;
    // The queues, then the direct printers, with their kind and URI.
    std::vector<PrinterDescription> Describe();

    // From now on the list holds the direct printers only, and the queues' spooler is not
    // asked.
    void LeaveOutQueues() noexcept { queuesShown_ = false; }

private:
    bool queuesShown_ = true;
    platform::PrinterList& queues_;
    QueueDescriber describeQueues_;
    const direct::DirectSpooler& direct_;
};

} // namespace rawlet::combined
