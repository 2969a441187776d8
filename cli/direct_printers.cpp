#include "direct_printers.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <stdexcept>

#include "backends/direct/device_uri.h"

namespace rawlet::cli {

void AddPrinterGivenByUri(const Options& options, SystemPlatform& system)
{
    if (!direct::LooksLikeDeviceUri(options.printer))
        return;
    try {
        if (!system.AddDirectPrinter(options.printer, options.printer))
            throw UsageError("the printer '" + options.printer + "' is given twice");
        system.LeaveOutQueues(); // no queue's name is a URI: the scheduler need not be asked
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

namespace {

void WriteLongList(const std::vector<cups::PrinterDescription>& printers)
{
    std::size_t width = 0;
    for (const auto& printer : printers)
        width = std::max(width, printer.name.size());
    for (const auto& printer : printers)
        std::cout << std::left << std::setw(static_cast<int>(width)) << printer.name << "  " << std::setw(6)
                  << printer.kind << "  " << (printer.uri.empty() ? "-" : printer.uri) << "\n";
}

} // namespace

// An empty list of queues is only an answer when the scheduler gave it; the scheduler is
// asked again only then.
int ListPrinters(SystemPlatform& system, bool longForm)
{
    const std::vector<cups::PrinterDescription> printers = system.DescribePrinters();
    if (longForm)
        WriteLongList(printers);
    else
        for (const auto& printer : printers)
            std::cout << printer.name << "\n";
    if (std::ranges::any_of(printers, [](const auto& printer) { return printer.kind == "queue"; }))
        return 0;
    const auto why = system.Services().reports->Unreachable();
    if (!why)
        return 0;
    std::cerr << "rawlet: " << *why << "\n";
    return printers.empty() ? 1 : 0;
}

void ReportConfigurationProblems(SystemPlatform& system)
{
    for (const std::string& problem : system.configurationProblems())
        std::cerr << "rawlet: " << problem << "\n";
}

} // namespace rawlet::cli
