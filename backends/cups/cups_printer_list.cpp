#include "cups_printer_list.h"

#include <cups/cups.h>

namespace rawlet::cups {

std::vector<std::string> CupsPrinterList::DeviceNames()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance) // an instance is a set of options on a queue, not a printer
            names.emplace_back(dests[i].name);
    cupsFreeDests(count, dests);
    return names;
}

} // namespace rawlet::cups
