#include "cups_spooler.h"

#include <algorithm>
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

std::string JobName(const CreatedJob& job) { return job.printer + "-" + std::to_string(job.id); }

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
    if (!printer->Start(docInfo, PrintingWaitSet().wait, failure)) {
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
    if (!printer)
        return false;
    if (!printer->Write(chunk)) {
        if (!printer->abandoned())
            NoteFailure(printer->name(), "the stream to the scheduler broke off: " + ipp::LastErrorText());
        return false;
    }
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
        NoteFailure(printer, ended.failure, ended.mayPrint);
    std::lock_guard lock(jobsMutex_);
    if (createdJobs_.size() == kRecordedJobs)
        createdJobs_.pop_front();
    createdJobs_.push_back({.printer = printer,
                            .id = ended.jobId,
                            .ended = true,
                            .accepted = ended.accepted,
                            .failure = ended.failure,
                            .mayPrint = ended.mayPrint,
                            .subscription = ended.subscription});
    return ended.accepted;
}

// A document the scheduler did not take made no job, unless it may have made one without
// saying so.
void CupsSpooler::NoteFailure(const std::string& printer, const std::string& failure, bool mayPrint)
{
    std::lock_guard lock(jobsMutex_);
    lastFailure_ = {mayPrint ? Outcome::unknown : Outcome::notPrinted, mayPrint ? printer : "",
                    printer + ": " + failure};
}

std::optional<platform::DocumentOutcome> CupsSpooler::LastFailure()
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

// The writers find their documents broken and end them; Record notes how. A document
// broken before its end made no job, which the failure says at once: the program may end
// before its writer does. The jobs already made are cancelled by the wait for them, which
// ends at once, now or when it begins.
void CupsSpooler::AbandonDocuments()
{
    for (const auto& printer : printers_.All())
        if (printer->Abandon())
            NoteFailure(printer->name(),
                        "interrupted: the scheduler had not accepted the job: nothing will print");
    std::lock_guard lock(jobsMutex_);
    for (CreatedJob& job : createdJobs_)
        job.abandoned = job.abandoned || !job.outcome;
    for (JobWatch* watch : following_)
        watch->Interrupt();
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

void CupsSpooler::SetPrintingWait(platform::PrintingWait wait)
{
    std::lock_guard lock(jobsMutex_);
    printingWait_ = wait;
}

std::vector<platform::DocumentOutcome> CupsSpooler::JobOutcomes()
{
    const platform::PrintingWait wait = PrintingWaitSet();
    std::optional<ipp::Clock::time_point> deadline;
    if (wait.limit.count() > 0)
        deadline = ipp::Clock::now() + wait.limit;
    std::vector<platform::DocumentOutcome> outcomes;
    for (const CreatedJob& job : CreatedJobs()) {
        if (job.outcome)
            outcomes.push_back(*job.outcome);
        else if (!job.accepted)
            outcomes.push_back(
                {job.mayPrint ? Outcome::unknown : Outcome::notPrinted, job.mayPrint ? job.printer : "",
                 "the job on " + job.printer + " was not accepted by the scheduler: " + job.failure});
        else if (!wait.wait)
            outcomes.push_back({Outcome::delivered, JobName(job), ""});
        else
            outcomes.push_back(Follow(job, deadline));
    }
    return outcomes;
}

// The wait is known to AbandonDocuments before it begins, so that an abandonment that comes
// before it ends it too. The job's outcome is kept.
platform::DocumentOutcome CupsSpooler::Follow(const CreatedJob& job,
                                              std::optional<ipp::Clock::time_point> deadline)
{
    JobWatch watch;
    {
        std::lock_guard lock(jobsMutex_);
        if (const CreatedJob* recorded = RecordOf(job); recorded && recorded->abandoned)
            watch.Interrupt();
        following_.push_back(&watch);
    }
    watch.Connect();
    const ipp::JobEnd end = FollowJob(job, watch, deadline, StateListener());
    const platform::DocumentOutcome outcome{end.outcome, JobName(job), end.reason};
    std::lock_guard lock(jobsMutex_);
    std::erase(following_, &watch);
    if (CreatedJob* recorded = RecordOf(job))
        recorded->outcome = outcome;
    return outcome;
}

// Under jobsMutex_: the record of `job`; null once it has left the record.
CreatedJob* CupsSpooler::RecordOf(const CreatedJob& job)
{
    const auto recorded =
        std::find_if(createdJobs_.begin(), createdJobs_.end(), [&job](const CreatedJob& made) {
            return made.printer == job.printer && made.id == job.id;
        });
    return recorded == createdJobs_.end() ? nullptr : &*recorded;
}

platform::PrintingWait CupsSpooler::PrintingWaitSet() const
{
    std::lock_guard lock(jobsMutex_);
    return printingWait_;
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
