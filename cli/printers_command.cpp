#include "printers_command.h"

#include <algorithm>
#include <iomanip>
#include <iostream>

#include "printer_text.h"

namespace rawlet::cli {

namespace {

// Names and URIs come from the scheduler or the configuration: shown escaped.
void WriteLongList(const std::vector<PrinterDescription>& printers)
{
    std::size_t width = 0;
    for (const auto& printer : printers)
        width = std::max(width, text::Shown(printer.name).size());
    for (const auto& printer : printers)
        std::cout << std::left << std::setw(static_cast<int>(width)) << text::Shown(printer.name) << "  "
                  << std::setw(6) << printer.kind << "  "
                  << (printer.uri.empty() ? "-" : text::Shown(printer.uri)) << "\n";
}

} // namespace

// An empty list of queues is only an answer when the scheduler gave it; the scheduler is
// asked again only then.
int ListPrinters(System& system, bool longForm)
{
    const std::vector<PrinterDescription> printers = system.Printers();
    if (longForm)
        WriteLongList(printers);
    else
        for (const auto& printer : printers)
            std::cout << text::Shown(printer.name) << "\n";
    if (std::any_of(printers.begin(), printers.end(),
                    [](const auto& printer) { return printer.kind == "queue"; }))
        return 0;
    const auto why = system.Unreachable();
    if (!why)
        return 0;
    std::cerr << "rawlet: " << *why << "\n";
    return printers.empty() ? 1 : 0;
}

void ReportConfigurationProblems(const System& system)
{
    for (const std::string& problem : system.configurationProblems())
        std::cerr << "rawlet: " << problem << "\n";
}

} // namespace rawlet::cli
