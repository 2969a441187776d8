#include "direct_printers.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <stdexcept>

#include "backends/direct/device_uri.h"
#include "commands.h"

namespace rawlet::cli {

void AddPrinterGivenByUri(const Options& options, SystemPlatform& system)
{
    if (!direct::LooksLikeDeviceUri(options.printer))
        return;
    try {
        system.AddDirectPrinter(options.printer, options.printer);
        system.LeaveOutQueues(); // no queue's name is a URI: the scheduler need not be asked
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

int ListPrintersLong(SystemPlatform& system)
{
    const std::vector<cups::PrinterDescription> printers = system.DescribePrinters();
    std::size_t width = 0;
    for (const auto& printer : printers)
        width = std::max(width, printer.name.size());
    for (const auto& printer : printers)
        std::cout << std::left << std::setw(static_cast<int>(width)) << printer.name << "  " << std::setw(6)
                  << printer.kind << "  " << (printer.uri.empty() ? "-" : printer.uri) << "\n";
    return ListingStatus(!printers.empty(), system);
}

void ReportConfigurationProblems(SystemPlatform& system)
{
    for (const std::string& problem : system.configurationProblems())
        std::cerr << "rawlet: " << problem << "\n";
}

} // namespace rawlet::cli
