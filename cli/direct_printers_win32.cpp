// Windows prints through its spooler only: no direct printers.
#include "direct_printers.h"

#include <iostream>

#include <rawlet/platform/printer_list.h>

namespace rawlet::cli {

void AddPrinterGivenByUri(const Options& options, SystemPlatform&)
{
    if (options.printer.find("://") != std::string::npos)
        throw UsageError("device URIs are not available on Windows: name a printer");
}

int ListPrinters(SystemPlatform& system, bool longForm)
{
    for (const std::string& name : system.Services().printers.DeviceNames())
        std::cout << name << (longForm ? "  queue  -\n" : "\n");
    return 0;
}

void ReportConfigurationProblems(SystemPlatform&) {}

} // namespace rawlet::cli
