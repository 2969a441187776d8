// Following a queue's job, as the scheduler keeps it.
#include "queue_job_follow.h"

#include <thread>

#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

// The scheduler, asked on a connection of its own whose deadline bounds each question: a
// scheduler that stops answering ends the wait in an error.
class SchedulerJobs : public ipp::JobKeeper {
public:
    SchedulerJobs(http_t* http, const CreatedJob& job) : http_(http), job_(job) {}

    ipp::Ipp AskJob() override
    {
        return Ask(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", "ipp://localhost/jobs/" + std::to_string(job_.id),
                   {"job-state", "job-printer-state-message", "job-state-reasons"});
    }
    ipp::Ipp AskPrinter() override
    {
        return Ask(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", "ipp://localhost/printers/" + job_.printer,
                   {"printer-state", "printer-state-message", "printer-state-reasons"});
    }
    std::string Unanswered(ipp_t*) override { return ipp::LastErrorText(); }
    // libcups tells a job the scheduler no longer knows by its last error, answer or none.
    bool Forgot(ipp_t*) override { return cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND; }
    bool Pause(std::chrono::milliseconds interval) override
    {
        std::this_thread::sleep_for(interval);
        return true;
    }

private:
    ipp::Ipp Ask(ipp_op_t operation, const char* uriName, const std::string& uri,
                 std::initializer_list<const char*> wanted)
    {
        ipp_t* request = ippNewRequest(operation);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(wanted.size()), nullptr, wanted.begin());
        return ipp::Ipp(cupsDoRequest(http_, request, "/"));
    }

    http_t* http_;
    const CreatedJob& job_;
};

} // namespace

bool CancelJob(const CreatedJob& job)
{
    const ipp::Http http = ConnectWithDeadline();
    if (!http)
        return false;
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(job.id);
    ipp_t* request = ippNewRequest(IPP_OP_CANCEL_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const ipp::Ipp response(cupsDoRequest(http.get(), request, "/jobs/"));
    return response && ippGetStatusCode(response.get()) <= IPP_STATUS_OK_CONFLICTING;
}

JobOutcome FollowJob(const CreatedJob& job, const JobStateListener& onState)
{
    const ipp::Http http = ConnectWithDeadline();
    if (!http)
        return {false, "job state unavailable: no print scheduler answers"};
    SchedulerJobs scheduler(http.get(), job);
    const ipp::FollowRules rules{"job " + job.printer + "-" + std::to_string(job.id), "the scheduler", true,
                                 true, 1};
    const ipp::JobEnd end = ipp::FollowJob(scheduler, rules, onState);
    return {end.printed, end.reason, end.openState};
}

} // namespace rawlet::cups
