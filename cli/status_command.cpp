#include "status_command.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <stdexcept>

namespace rawlet::cli {

namespace {

using platform::PrinterStatus;

const char* StateName(PrinterStatus::State state)
{
    switch (state) {
    case PrinterStatus::State::Idle:
        return "idle";
    case PrinterStatus::State::Processing:
        return "printing";
    case PrinterStatus::State::Stopped:
        return "stopped";
    default:
        return "state unknown";
    }
}

std::string Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : ", ") + text;
    return joined;
}

// "Receipts: not ready, stopped (paused), accepting jobs, 2 jobs waiting: Out of paper"
void WriteLine(std::ostream& out, const PrinterStatus& status)
{
    out << status.name << ": " << (status.ready ? "ready" : "not ready");
    if (!status.answers) {
        out << ", does not answer\n";
        return;
    }
    out << ", " << StateName(status.state);
    if (!status.reasons.empty())
        out << " (" << Joined(status.reasons) << ")";
    out << (status.acceptingJobs ? ", accepting jobs" : ", rejecting jobs");
    if (status.queuedJobs)
        out << ", " << *status.queuedJobs << (*status.queuedJobs == 1 ? " job" : " jobs") << " waiting";
    if (!status.message.empty())
        out << ": " << status.message;
    out << "\n";
}

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    for (const char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            json += {'\\', c};
        else if (octet < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", octet);
            json += escaped;
        } else
            json += c;
    }
    return json + "\"";
}

void WriteJson(std::ostream& out, const std::vector<PrinterStatus>& statuses)
{
    out << "[";
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        const PrinterStatus& status = statuses[i];
        std::vector<std::string> reasons;
        std::ranges::transform(status.reasons, std::back_inserter(reasons), JsonString);
        out << (i ? ",\n " : "\n ") << "{\"name\": " << JsonString(status.name)
            << ", \"ready\": " << (status.ready ? "true" : "false")
            << ", \"answers\": " << (status.answers ? "true" : "false")
            << ", \"state\": " << JsonString(StateName(status.state)) << ", \"reasons\": [" << Joined(reasons)
            << "]"
            << ", \"accepting_jobs\": " << (status.acceptingJobs ? "true" : "false")
            << ", \"queued_jobs\": " << (status.queuedJobs ? std::to_string(*status.queuedJobs) : "null")
            << ", \"message\": " << JsonString(status.message) << "}";
    }
    out << "\n]\n";
}

std::vector<PrinterStatus> AskPrinters(System& system)
{
    std::vector<PrinterStatus> statuses;
    for (const PrinterDescription& printer : system.Printers()) {
        const std::string& name = printer.name;
        std::optional<PrinterStatus> status = system.Status(name);
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
std::optional<PrinterStatus> AskPrinter(System& system, const std::string& printer)
{
    try {
        return system.Status(printer);
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

} // namespace

int ShowStatus(const Options& options, System& system)
{
    if (!system.Services().reports->CanTellStatus())
        throw UsageError("status is not available with this system's spooler");

    std::vector<PrinterStatus> statuses;
    if (!options.printer.empty()) {
        std::optional<PrinterStatus> status = AskPrinter(system, options.printer);
        if (!status)
            throw std::runtime_error(
                system.Unreachable().value_or("no printer named '" + options.printer + "'"));
        statuses.push_back(std::move(*status));
    } else {
        statuses = AskPrinters(system);
        if (statuses.empty())
            throw std::runtime_error(system.Unreachable().value_or("no printers are installed"));
    }

    if (options.json)
        WriteJson(std::cout, statuses);
    else
        for (const PrinterStatus& status : statuses)
            WriteLine(std::cout, status);
    return std::ranges::all_of(statuses, &PrinterStatus::ready) ? 0 : 1;
}

} // namespace rawlet::cli
