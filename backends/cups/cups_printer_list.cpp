#include "cups_printer_list.h"

#include <cstring>

#include <cups/cups.h>

#include "shared_ipp.h"

namespace rawlet::cups {

namespace {

// What the attributes of one printer, from `attribute` on, say of it; `attribute` ends past
// them.
PrinterDescription Described(ipp_attribute_t*& attribute, ipp_t* response)
{
    PrinterDescription printer{"", "queue", ""};
    for (; attribute && ippGetGroupTag(attribute) == IPP_TAG_PRINTER;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        const char* value = ippGetString(attribute, 0, nullptr);
        if (!name || !value)
            continue;
        if (std::strcmp(name, "printer-name") == 0)
            printer.name = value;
        else if (std::strcmp(name, "device-uri") == 0)
            printer.uri = value;
    }
    return printer;
}

} // namespace

std::vector<std::string> CupsPrinterList::DeviceNames()
{
    std::vector<std::string> names;
    for (PrinterDescription& printer : Describe())
        names.push_back(std::move(printer.name));
    return names;
}

// One question for the names and URIs alone, which each job asks to find its queue:
// cupsGetDests2 would also ask for the default destination, read lpoptions for instances
// (not printers) and browse the network for printers that are no queue.
std::vector<PrinterDescription> CupsPrinterList::Describe()
{
    static const char* const kWanted[] = {"printer-name", "device-uri"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kWanted);
    const ipp::Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    std::vector<PrinterDescription> printers;
    ipp_attribute_t* attribute = ippFirstAttribute(response.get());
    while (attribute) {
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
            attribute = ippNextAttribute(response.get());
            continue;
        }
        if (PrinterDescription printer = Described(attribute, response.get()); !printer.name.empty())
            printers.push_back(std::move(printer));
    }
    return printers;
}

} // namespace rawlet::cups
