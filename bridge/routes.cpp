#include "routes.h"

#include <memory>
#include <optional>
#include <sstream>

#include <rawlet/printer.h>
#include <rawlet/system.h>

#include "printer_text.h"
#include "redaction.h"
#include "status_json.h"

namespace rawlet::bridge {

namespace {

using platform::PrinterStatus;

Answer ListPrinters(const AllowEntry& entry)
{
    System system;
    std::ostringstream json;
    json << "{\"printers\": [";
    const char* separator = "";
    for (const PrinterDescription& printer : system.Printers()) {
        if (!entry.MayUse(printer.name, system.Services().codePage))
            continue;
        json << separator << "{\"name\": " << text::JsonString(printer.name)
             << ", \"kind\": " << text::JsonString(printer.kind) << "}";
        separator = ", ";
    }
    json << "]}";
    return {200, json.str()};
}

// As `rawlet status --json` gives one printer, without the devices its message may name.
std::string StatusJson(PrinterStatus status)
{
    status.message = WithoutDevices(status.message);
    return text::StatusJson(status);
}

Answer ShowStatus(const std::string& printer)
{
    System system;
    const std::optional<PrinterStatus> status = system.Status(printer);
    if (!status)
        return {404, "{\"refused\": " + text::JsonString("no printer named '" + printer + "' answers") + "}"};
    return {200, StatusJson(*status)};
}

std::string JobJson(const char* outcome, const std::string& job, std::uint64_t bytes,
                    const std::string& reason, int error)
{
    return std::string("{\"outcome\": \"") + outcome + "\", \"job\": " + text::JsonString(job) +
           ", \"bytes\": " + std::to_string(bytes) + ", \"reason\": " + text::JsonString(reason) +
           ", \"error\": " + std::to_string(error) + "}";
}

const char* OutcomeText(Outcome outcome) { return outcome == Outcome::printed ? "printed" : "delivered"; }

// A failed job: not printed, or unknown when it may print. A failure of no known kind
// counts as unknown, so that the page never sends again what may print.
Answer FailedJob(const Error& error, std::uint64_t bytes)
{
    const char* outcome = dynamic_cast<const NotPrinted*>(&error) ? "not-printed" : "unknown";
    const std::string reason = error.reason().empty() ? error.what() : error.reason();
    return {200,
            JobJson(outcome, WithoutDevices(error.job()), bytes, WithoutDevices(reason), error.number())};
}

Answer PrintJob(const Decision& decision, std::string_view body, WaitedJobs& waited)
{
    System system;
    JobOptions options;
    options.title = decision.job.title;
    options.utf8 = decision.job.utf8;
    options.translate = decision.job.translate;
    options.wait = decision.job.wait && system.CanFollowJobs();
    options.waitLimit = std::chrono::seconds(kLongestWaitSeconds);
    std::unique_ptr<Printer> printer;
    try {
        const bool wait = options.wait;
        printer = std::make_unique<Printer>(system, decision.printer, std::move(options));
        if (body.empty())
            return {400, JobJson("not-printed", "", 0, "nothing to print: the body is empty", 0)};
        std::optional<WaitedJobs::Entry> waiting;
        if (wait)
            waiting.emplace(waited, *printer);
        printer->Write(body);
        const JobResult result = printer->Finish();
        return {200, JobJson(OutcomeText(result.outcome), result.job, result.bytes, "", 0)};
    } catch (const PrinterNotFound& error) {
        return {404, JobJson("not-printed", "", 0, WithoutDevices(error.what()), error.number())};
    } catch (const Error& error) {
        return FailedJob(error, printer ? printer->bytesSent() : 0);
    } catch (const std::exception& error) {
        // Bad input found by the conversion (UTF-8 the code page cannot hold): the job is
        // cancelled as the printer goes; what went out before may print.
        const std::uint64_t sent = printer ? printer->bytesSent() : 0;
        if (printer)
            printer->Cancel();
        return {sent ? 500 : 400,
                JobJson(sent ? "unknown" : "not-printed", "", sent, WithoutDevices(error.what()), 0)};
    }
}

} // namespace

Answer Refusal(const Decision& decision)
{
    return {decision.refusal, "{\"refused\": " + text::JsonString(decision.reason) + "}"};
}

Answer Serve(const Decision& decision, std::string_view body, WaitedJobs& waited)
{
    switch (decision.route) {
    case Route::printers:
        return ListPrinters(*decision.entry);
    case Route::status:
        return ShowStatus(decision.printer);
    case Route::job:
        return PrintJob(decision, body, waited);
    default:
        return {204, ""};
    }
}

} // namespace rawlet::bridge
