#include "combined_printer_list.h"

namespace rawlet::combined {

std::vector<std::string> CombinedPrinterList::DeviceNames()
{
    std::vector<std::string> names = queuesShown_ ? queues_.DeviceNames() : std::vector<std::string>();
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
    for (const direct::DirectPrinter& printer : direct_.Printers())
        printers.push_back({printer.name, "direct", printer.uri.text});
    return printers;
}

} // namespace rawlet::combined
