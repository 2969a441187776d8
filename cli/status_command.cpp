#include "status_command.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "printer_text.h"
#include "status_json.h"

namespace rawlet::cli {

namespace {

using platform::PrinterStatus;

std::string Joined(const std::vector<std::string>& texts, const char* separator = ", ")
{
    std::string joined;
    for (const std::string& text : texts)
        if (!text.empty())
            joined += (joined.empty() ? "" : separator) + text;
    return joined;
}

// "Acme TM-42 (ESC/POS)", from the device ID; empty when none is known.
std::string Device(const PrinterStatus& status)
{
    std::string device = Joined({status.manufacturer, status.model}, " ");
    if (!status.commandSet.empty())
        device += (device.empty() ? "(" : " (") + status.commandSet + ")";
    return device;
}

// "[transport, snmp; no answer: escpos; Acme TM-42 (ESC/POS); 14 ms]": where the facts came
// from, who was asked and did not answer, what the printer is, and how long it took.
std::string Provenance(const PrinterStatus& status)
{
    const std::string silent = status.unanswered.empty() ? "" : "no answer: " + Joined(status.unanswered);
    return "[" +
           Joined({Joined(status.sources), silent, Device(status),
                   std::to_string(status.elapsed.count()) + " ms"},
                  "; ") +
           "]";
}

std::string Facts(const PrinterStatus& status)
{
    if (!status.answers)
        return ", does not answer";
    std::string facts = ", " + std::string(platform::StateName(status.state));
    if (!status.reasons.empty())
        facts += " (" + Joined(status.reasons) + ")";
    facts += status.acceptingJobs ? ", accepting jobs" : ", rejecting jobs";
    if (status.queuedJobs)
        facts += ", " + std::to_string(*status.queuedJobs) + (*status.queuedJobs == 1 ? " job" : " jobs") +
                 " waiting";
    if (!status.message.empty())
        facts += ": " + status.message;
    return facts;
}

void WriteJson(std::ostream& out, const std::vector<PrinterStatus>& statuses)
{
    out << "[";
    for (std::size_t i = 0; i < statuses.size(); ++i)
        out << (i ? ",\n " : "\n ") << text::StatusJson(statuses[i]);
    out << "\n]\n";
}

std::vector<PrinterStatus> AskPrinters(System& system, const std::string& probe)
{
    std::vector<PrinterStatus> statuses;
    for (const PrinterDescription& printer : system.Printers()) {
        const std::string& name = printer.name;
        std::optional<PrinterStatus> status = system.Status(name, probe);
        if (!status) {
            status.emplace();
            status->name = name; // it went away, or cannot be asked: not ready
        }
        statuses.push_back(std::move(*status));
    }
    return statuses;
}

// The status of the printer given by name or device URI; a URI that names no device is a
// usage error.
std::optional<PrinterStatus> AskPrinter(System& system, const std::string& printer, const std::string& probe)
{
    try {
        return system.Status(printer, probe);
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

} // namespace

// Shown escaped: the name, reasons, message and make come from the printer or the scheduler.
std::string StatusLine(const PrinterStatus& status)
{
    return text::Shown(status.name + ": " + (status.ready ? "ready" : "not ready") + Facts(status) + " " +
                       Provenance(status));
}

std::optional<PrinterStatus> StatusBeforePrinting(System& system, const Options& options)
{
    return AskPrinter(system, options.printer, options.probe);
}

int ShowStatus(const Options& options, System& system)
{
    if (!system.Services().reports->CanTellStatus())
        throw UsageError("status is not available with this system's spooler");

    std::vector<PrinterStatus> statuses;
    if (!options.printer.empty()) {
        std::optional<PrinterStatus> status = AskPrinter(system, options.printer, options.probe);
        if (!status)
            throw std::runtime_error(
                system.Unreachable().value_or("no printer named '" + options.printer + "'"));
        statuses.push_back(std::move(*status));
    } else {
        statuses = AskPrinters(system, options.probe);
        if (statuses.empty())
            throw std::runtime_error(system.Unreachable().value_or("no printers are installed"));
    }

    if (options.json)
        WriteJson(std::cout, statuses);
    else
        for (const PrinterStatus& status : statuses)
            std::cout << StatusLine(status) << "\n";
    return std::ranges::all_of(statuses, &PrinterStatus::ready) ? 0 : 1;
}

} // namespace rawlet::cli
