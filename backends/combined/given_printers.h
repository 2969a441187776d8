#pragma once

// The direct printers a platform bundle is given beside its queues: those of printers.conf,
// and a device URI written where a printer's name goes.

#include <string>
#include <vector>

#include "combined_printer_list.h"
#include "direct_printers.h"

namespace rawlet::combined {

// Adds the direct printers of printers.conf to `direct`; the lines skipped, as
// "FILE:LINE: reason".
std::vector<std::string> AddConfiguredPrinters(direct::DirectSpooler& direct);

// When `printer` is written as a device URI, adds it to `direct` as a printer of that name and
// leaves the queues out of `printers`; true if so. Throws std::invalid_argument, saying why,
// for a URI that names no device.
bool AddPrinterGivenByUri(direct::DirectSpooler& direct, CombinedPrinterList& printers,
                          const std::string& printer);

} // namespace rawlet::combined
