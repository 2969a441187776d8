#include "cups_printer_list.h"

#include <cups/cups.h>

namespace rawlet::cups {

std::vector<std::string> CupsPrinterList::DeviceNames()
{
    std::vector<std::string> names;
    for (PrinterDescription& printer : Describe())
        names.push_back(std::move(printer.name));
    return names;
}

std::vector<PrinterDescription> CupsPrinterList::Describe()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<PrinterDescription> printers;
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance) // an instance is a set of options on a queue, not a printer
            continue;
        const char* uri = cupsGetOption("device-uri", dests[i].num_options, dests[i].options);
        printers.push_back({dests[i].name, "queue", uri ? uri : ""});
    }
    cupsFreeDests(count, dests);
    return printers;
}

} // namespace rawlet::cups
