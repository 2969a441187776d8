#include "job_monitor.h"

#include <chrono>
#include <thread>

#include "cups_resources.h"
#include "ipp_attributes.h"
#include "ipp_errors.h"

namespace rawlet::cups {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

struct Status {
    int state = 0;
    std::string message;
};

// Asks the scheduler for one object's state and state message; state 0 when it cannot say.
Status Query(ipp_op_t operation, const char* uriName, const std::string& uri, const char* stateName,
             const char* messageName, const char* reasonsName)
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const char* wanted[] = {stateName, messageName, reasonsName};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
        return {0, LastErrorText()};
    Status status;
    status.state = ippGetInteger(ippFindAttribute(response.get(), stateName, IPP_TAG_ENUM), 0);
    status.message = AttributeText(response.get(), messageName);
    if (status.message.empty())
        status.message = AttributeText(response.get(), reasonsName);
    return status;
}

Status JobStatus(int id)
{
    return Query(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", "ipp://localhost/jobs/" + std::to_string(id),
                 "job-state", "job-printer-state-message", "job-state-reasons");
}

Status PrinterStatus(const std::string& printer)
{
    return Query(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", "ipp://localhost/printers/" + printer,
                 "printer-state", "printer-state-message", "printer-state-reasons");
}

std::string Described(const char* what, const Status& status)
{
    return status.message.empty() ? std::string(what) : std::string(what) + ": " + status.message;
}

std::string StateName(int state)
{
    switch (state) {
    case IPP_JSTATE_PENDING:
        return "pending";
    case IPP_JSTATE_HELD:
        return "held";
    case IPP_JSTATE_PROCESSING:
        return "processing";
    case IPP_JSTATE_STOPPED:
        return "stopped";
    case IPP_JSTATE_CANCELED:
        return "canceled";
    case IPP_JSTATE_ABORTED:
        return "aborted";
    case IPP_JSTATE_COMPLETED:
        return "completed";
    default:
        return "in state " + std::to_string(state);
    }
}

} // namespace

JobOutcome FollowJob(const CreatedJob& job, const JobStateListener& onState)
{
    for (;;) {
        const Status status = JobStatus(job.id);
        const std::string line = Described(
            ("job " + job.printer + "-" + std::to_string(job.id) + " " + StateName(status.state)).c_str(),
            status);
        if (onState)
            onState(line);
        switch (status.state) {
        case IPP_JSTATE_COMPLETED:
            return {true, {}};
        case IPP_JSTATE_STOPPED:
            return {false, Described("job stopped", status)};
        case IPP_JSTATE_CANCELED:
            return {false, Described("job canceled", status)};
        case IPP_JSTATE_ABORTED:
            return {false, Described("job aborted", status)};
        case 0:
            return {false, Described("job state unavailable", status)};
        default:
            break;
        }
        const Status printer = PrinterStatus(job.printer);
        if (printer.state == IPP_PSTATE_STOPPED)
            return {false, Described("printer stopped", printer)};
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace rawlet::cups
