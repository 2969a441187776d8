#include "cups_spooler.h"

#include <climits>
#include <utility>

#include "kept_connections.h"
#include "queue_document.h"
#include "queue_job_follow.h"
#include "queue_status.h"
#include "reachability.h"
#include "scheduler_connection.h"
#include "shared_ipp.h"

namespace rawlet::cups {

CupsSpooler::CupsSpooler() = default;
CupsSpooler::~CupsSpooler() = default;

bool CupsSpooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    const std::string name(printerName);
    ipp::Dest dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr));
    if (!dest || name.empty())
        return false;
    // A connection to the scheduler for this handle alone, so that documents on different
    // handles stream independently.
    LentConnection http = LentConnection::ToScheduler();
    if (!http)
        return false;
    handle = printers_.Add(std::make_shared<Printer>(std::move(dest), std::move(http)));
    return true;
}

// The job's number is known only once the scheduler has the whole document: the document
// gets a number of the spooler's own meanwhile.
std::uint32_t CupsSpooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return 0;
    std::string failure;
    if (!printer->Start(docInfo, failure)) {
        if (!failure.empty())
            NoteFailure(printer->name(), failure);
        return 0;
    }
    return ++documents_;
}

bool CupsSpooler::StartPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && printer->inDocument();
}

bool CupsSpooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes, std::uint32_t& written)
{
    written = 0;
    const auto printer = printers_.Find(handle);
    const std::string_view chunk = bytes.substr(0, UINT32_MAX);
    if (!printer || !printer->Write(chunk))
        return false;
    written = static_cast<std::uint32_t>(chunk.size());
    return true;
}

// Pages mean nothing to a raw stream: ending one only requires a document.
bool CupsSpooler::EndPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && printer->inDocument();
}

bool CupsSpooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return false;
    const std::optional<EndedDocument> ended = printer->End();
    return ended && Record(printer->name(), *ended);
}

bool CupsSpooler::Record(const std::string& printer, const EndedDocument& ended)
{
    if (!ended.accepted)
        NoteFailure(printer, ended.failure);
    std::lock_guard lock(jobsMutex_);
    if (createdJobs_.size() == kRecordedJobs)
        createdJobs_.pop_front();
    createdJobs_.push_back({printer, ended.jobId, true, ended.accepted, ended.failure});
    return ended.accepted;
}

void CupsSpooler::NoteFailure(const std::string& printer, const std::string& failure)
{
    std::lock_guard lock(jobsMutex_);
    lastFailure_ = printer + ": " + failure;
}

std::optional<std::string> CupsSpooler::LastFailure()
{
    std::lock_guard lock(jobsMutex_);
    return lastFailure_;
}

bool CupsSpooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Remove(handle);
    if (!printer)
        return false;
    const std::optional<EndedDocument> ended = printer->End();
    return !ended || Record(printer->name(), *ended);
}

std::optional<std::string> CupsSpooler::Unreachable() { return SchedulerUnreachable(kSchedulerDeadlineMs); }

// The writers find their documents broken and end them; Record notes how.
void CupsSpooler::AbandonDocuments()
{
    for (const auto& printer : printers_.All())
        printer->Abandon();
}

void CupsSpooler::WatchJobStates(std::function<void(const std::string& line)> onState)
{
    std::lock_guard lock(jobsMutex_);
    jobStateListener_ = std::move(onState);
}

std::optional<platform::PrinterStatus> CupsSpooler::StatusOf(const std::string& printerName)
{
    return QueueStatus(printerName);
}

namespace {

// A job that did not print while its queue or printer stopped stays queued and would print
// once they run again, after the program has reported it failed: it is cancelled, so that a
// retry does not print it twice. What part of it may have printed depends on how far it got.
std::string StopStillOpen(const CreatedJob& job, const JobOutcome& outcome)
{
    if (outcome.openState == 0)
        return "";
    if (!CancelJob(job))
        return "; it could not be cancelled and may still print";
    const bool begun = outcome.openState == IPP_JSTATE_PROCESSING || outcome.openState == IPP_JSTATE_STOPPED;
    return begun ? "; it was cancelled, but some of it may have printed"
                 : "; it was cancelled and will not print";
}

} // namespace

std::vector<std::string> CupsSpooler::JobProblems(bool wait)
{
    std::vector<std::string> problems;
    for (const CreatedJob& job : CreatedJobs()) {
        if (!job.accepted) {
            problems.push_back("the job on " + job.printer +
                               " was not accepted by the scheduler: " + job.failure);
            continue;
        }
        const std::string name = "job " + job.printer + "-" + std::to_string(job.id);
        if (!wait)
            continue;
        const JobOutcome outcome = FollowJob(job, StateListener());
        if (!outcome.completed)
            problems.push_back(name + " did not print: " + outcome.reason + StopStillOpen(job, outcome));
    }
    return problems;
}

JobStateListener CupsSpooler::StateListener() const
{
    std::lock_guard lock(jobsMutex_);
    return jobStateListener_;
}

std::vector<CreatedJob> CupsSpooler::CreatedJobs() const
{
    std::lock_guard lock(jobsMutex_);
    return {createdJobs_.begin(), createdJobs_.end()};
}

} // namespace rawlet::cups
