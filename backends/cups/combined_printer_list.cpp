#include "combined_printer_list.h"

namespace rawlet::cups {

std::vector<std::string> CombinedPrinterList::DeviceNames()
{
    std::vector<std::string> names = queuesShown_ ? queues_.DeviceNames() : std::vector<std::string>();
    for (const direct::DirectPrinter& printer : direct_.Printers())
        names.push_back(printer.name);
    return names;
}

std::vector<PrinterDescription> CombinedPrinterList::Describe()
{
    std::vector<PrinterDescription> printers =
        queuesShown_ ? queues_.Describe() : std::vector<PrinterDescription>();
    for (const direct::DirectPrinter& printer : direct_.Printers())
        printers.push_back({printer.name, "direct", printer.uri.text});
    return printers;
}

} // namespace rawlet::cups
