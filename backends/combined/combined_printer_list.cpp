#include "combined_printer_list.h"

#include <vector>

namespace rawlet::combined {

// A queue whose name a direct printer has is left out: its name reaches the direct printer.
std::vector<std::string> CombinedPrinterList::DeviceNames()
{
    std::vector<std::string> names = queuesShown_ ? queues_.DeviceNames() : std::vector<std::string>();
    std::erase_if(names, [this](const std::string& name) { return direct_.Knows(name); });
    for (const direct::DirectPrinter& printer : direct_.Printers())
        names.push_back(printer.name);
    return names;
}

void CombinedPrinterList::FindDeviceName(const std::function<bool(const std::string& name)>& visit)
{
    for (const direct::DirectPrinter& printer : direct_.Printers())
        if (visit(printer.name))
            return;
    if (queuesShown_)
        queues_.FindDeviceName(visit);
}

std::vector<PrinterDescription> CombinedPrinterList::Describe()
{
    std::vector<PrinterDescription> printers =
        queuesShown_ ? describeQueues_() : std::vector<PrinterDescription>();
    std::erase_if(printers, [this](const PrinterDescription& queue) { return direct_.Knows(queue.name); });
    for (const direct::DirectPrinter& printer : direct_.Printers())
        printers.push_back({printer.name, "direct", printer.uri.text});
    return printers;
}

} // namespace rawlet::combined
