#include "given_printers.h"

namespace rawlet::combined {

std::vector<std::string> AddConfiguredPrinters(direct::DirectSpooler& direct)
{
    direct::PrintersConf conf = direct::LoadPrintersConf();
    for (direct::DirectPrinter& printer : conf.printers)
        direct.Add(std::move(printer));
    return std::move(conf.problems);
}

bool AddPrinterGivenByUri(direct::DirectSpooler& direct, CombinedPrinterList& printers,
                          const std::string& printer)
{
    if (!direct::LooksLikeDeviceUri(printer))
        return false;
    // No configured name has a ':', so a URI's name is free unless it was given before.
    [[maybe_unused]] const bool added = direct.Add({printer, direct::ParseDeviceUri(printer)});
    printers.LeaveOutQueues();
    return true;
}

} // namespace rawlet::combined
