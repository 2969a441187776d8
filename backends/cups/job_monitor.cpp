#include "job_monitor.h"

#include <chrono>
#include <thread>

#include "cups_resources.h"
#include "ipp_attributes.h"
#include "ipp_errors.h"
#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

struct Status {
    int state = 0;
    std::string message;
    bool gone = false; // the scheduler keeps no such object
};

// Asks the scheduler for one object's state and state message; state 0 when it cannot say.
Status Query(http_t* http, ipp_op_t operation, const char* uriName, const std::string& uri,
             const char* stateName, const char* messageName, const char* reasonsName)
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const char* wanted[] = {stateName, messageName, reasonsName};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    Ipp response(cupsDoRequest(http, request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
        return {0, LastErrorText(), cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND};
    Status status;
    status.state = ippGetInteger(ippFindAttribute(response.get(), stateName, IPP_TAG_ENUM), 0);
    status.message = AttributeText(response.get(), messageName);
    if (status.message.empty())
        status.message = AttributeText(response.get(), reasonsName);
    return status;
}

Status JobStatus(http_t* http, int id)
{
    return Query(http, IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", "ipp://localhost/jobs/" + std::to_string(id),
                 "job-state", "job-printer-state-message", "job-state-reasons");
}

Status PrinterStatus(http_t* http, const std::string& printer)
{
    return Query(http, IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", "ipp://localhost/printers/" + printer,
                 "printer-state", "printer-state-message", "printer-state-reasons");
}

std::string Described(const char* what, const Status& status)
{
    return status.message.empty() ? std::string(what) : std::string(what) + ": " + status.message;
}

// A scheduler that keeps no job history forgets a job as soon as it ends, however it ended:
// a job it accepted and then forgot is not known to have failed.
std::string Forgotten(const std::string& job, int lastState)
{
    return job + " no longer kept by the scheduler, last seen " + JobStateName(lastState) +
           " (no job history): not known to have failed";
}

} // namespace

JobOutcome FollowJob(const CreatedJob& job, const JobStateListener& onState)
{
    const std::string name = "job " + job.printer + "-" + std::to_string(job.id);
    // A connection of its own, whose deadline bounds each question: a scheduler that stops
    // answering ends the wait in an error.
    const Http http = ConnectWithDeadline();
    if (!http)
        return {false, "job state unavailable: no print scheduler answers"};
    int lastState = IPP_JSTATE_PENDING; // what the scheduler's acceptance of the document said
    for (;;) {
        const Status status = JobStatus(http.get(), job.id);
        if (status.gone) {
            if (onState)
                onState(Forgotten(name, lastState));
            return {true, {}};
        }
        if (onState)
            onState(Described((name + " " + JobStateName(status.state)).c_str(), status));
        lastState = status.state;
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
        const Status printer = PrinterStatus(http.get(), job.printer);
        if (printer.state == IPP_PSTATE_STOPPED)
            return {false, Described("printer stopped", printer)};
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace rawlet::cups
