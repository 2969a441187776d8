#include "cups_spooler.h"

#include <climits>
#include <utility>

#include "abandonable_stream.h"
#include "held_job.h"
#include "queue_job_follow.h"
#include "queue_status.h"
#include "reachability.h"
#include "scheduler_connection.h"
#include "shared_ipp.h"

namespace rawlet::cups {

// One open printer: its destination, a connection to its scheduler, and the document in
// progress, if any. The document and its connection are used under a lock, by one writer at
// a time; another thread abandons the document through `stream_` alone, since the writer
// may be blocked in libcups with the lock held.
class CupsSpooler::Printer {
public:
    Printer(ipp::Dest dest, ipp::Http http, ipp::DestInfo info)
        : dest_(std::move(dest)), http_(std::move(http)), info_(std::move(info))
    {}

    ~Printer() { EndDocument(); }

    const char* name() const { return dest_->name; }

    bool inDocument() const
    {
        std::lock_guard lock(mutex_);
        return jobId_ != 0;
    }

    int StartDocument(const DocInfo& docInfo)
    {
        std::lock_guard lock(mutex_);
        if (jobId_ != 0 || !ConnectionReady())
            return 0;
        const std::string name = docInfo.docName ? ipp::IppName(*docInfo.docName) : std::string();
        const char* title = name.empty() ? nullptr : name.c_str();
        cups_option_t hold = HoldUntilReleased();
        int jobId = 0;
        if (cupsCreateDestJob(http_.get(), dest_.get(), info_.get(), &jobId, title, 1, &hold) !=
            IPP_STATUS_OK)
            return 0;
        stream_.Begin(jobId);
        if (cupsStartDestDocument(http_.get(), dest_.get(), info_.get(), jobId, title, CUPS_FORMAT_RAW, 0,
                                  nullptr, 1) != HTTP_STATUS_CONTINUE) {
            stream_.End();
            connectionBroken_ = true;
            CancelOnOwnConnection(jobId);
            return 0;
        }
        stream_.StreamsOn(httpGetFd(http_.get()));
        jobId_ = jobId;
        streamBroken_ = false;
        return jobId;
    }

    // Never waits for a writer: breaks the stream and cancels the job on a connection of its
    // own; the writer then fails and ends the document. The job stays held until then, so
    // it cannot print even when the cancel does not get through. The job, when there was one.
    std::optional<EndedJob> Abandon()
    {
        const int jobId = stream_.Abandon();
        if (jobId == 0)
            return std::nullopt;
        CancelOnOwnConnection(jobId);
        return EndedJob{jobId, false};
    }

    bool Write(std::string_view bytes)
    {
        std::lock_guard lock(mutex_);
        if (jobId_ == 0 || streamBroken_ || stream_.abandoned())
            return false;
        // A zero-length write would end the chunked request body: there is nothing to send.
        if (bytes.empty())
            return true;
        // libcups may keep a short write in its buffer, so an abandonment meanwhile is
        // checked as well as the result.
        if (cupsWriteRequestData(http_.get(), bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE ||
            stream_.abandoned())
            streamBroken_ = true;
        return !streamBroken_;
    }

    // Finishes the document, when there is one. The job prints only when the scheduler
    // accepted its whole document; otherwise it is canceled, and held until then.
    std::optional<EndedJob> EndDocument()
    {
        std::lock_guard lock(mutex_);
        if (jobId_ == 0)
            return std::nullopt;
        return EndLocked();
    }

private:
    EndedJob EndLocked()
    {
        const int jobId = std::exchange(jobId_, 0);
        const bool whole = !streamBroken_ && !stream_.abandoned() && Finished();
        const bool abandoned = stream_.End();
        if (whole && !abandoned && ReleaseJob(http_.get(), jobId))
            return {jobId, true};
        connectionBroken_ = connectionBroken_ || !whole;
        if (!abandoned && ConnectionReady())
            cupsCancelDestJob(http_.get(), dest_.get(), jobId);
        return {jobId, false};
    }

    // When the connection fails before a response, cupsFinishDestDocument returns the
    // thread's previous IPP status, often a stale success: only a response received (HTTP
    // 200) means the scheduler has the document.
    bool Finished()
    {
        return cupsFinishDestDocument(http_.get(), dest_.get(), info_.get()) == IPP_STATUS_OK &&
               httpGetStatus(http_.get()) == HTTP_STATUS_OK;
    }

    // A connection whose request broke off mid-way is connected again before its next use.
    bool ConnectionReady()
    {
        if (connectionBroken_)
            connectionBroken_ = httpReconnect2(http_.get(), kSchedulerDeadlineMs, nullptr) != 0;
        return !connectionBroken_;
    }

    void CancelOnOwnConnection(int jobId) const
    {
        if (const ipp::Http http = ConnectWithDeadline())
            cupsCancelDestJob(http.get(), dest_.get(), jobId);
    }

    const ipp::Dest dest_;
    ipp::Http http_;
    ipp::DestInfo info_;
    mutable std::mutex mutex_;
    int jobId_ = 0;
    bool streamBroken_ = false;
    bool connectionBroken_ = false;
    AbandonableStream stream_;
};

CupsSpooler::CupsSpooler() = default;
CupsSpooler::~CupsSpooler() = default;

bool CupsSpooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    const std::string name(printerName);
    ipp::Dest dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr));
    if (!dest || name.empty())
        return false;
    // A connection of its own to the scheduler, so that documents on different handles
    // stream independently.
    ipp::Http http = ConnectWithDeadline();
    if (!http)
        return false;
    ipp::DestInfo info(cupsCopyDestInfo(http.get(), dest.get()));
    if (!info)
        return false;

    handle = printers_.Add(std::make_shared<Printer>(std::move(dest), std::move(http), std::move(info)));
    return true;
}

std::uint32_t CupsSpooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return 0;
    const int jobId = printer->StartDocument(docInfo);
    if (jobId > 0) {
        std::lock_guard lock(jobsMutex_);
        if (createdJobs_.size() == kRecordedJobs)
            createdJobs_.pop_front();
        createdJobs_.push_back({printer->name(), jobId});
    }
    return static_cast<std::uint32_t>(jobId);
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
    const std::optional<EndedJob> ended = printer->EndDocument();
    return ended && Record(printer->name(), *ended);
}

bool CupsSpooler::Record(const std::string& printer, EndedJob ended)
{
    std::lock_guard lock(jobsMutex_);
    for (CreatedJob& job : createdJobs_) {
        if (job.id == ended.id && job.printer == printer) {
            job.ended = true;
            job.accepted = ended.accepted;
        }
    }
    return ended.accepted;
}

bool CupsSpooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Remove(handle);
    if (!printer)
        return false;
    const std::optional<EndedJob> ended = printer->EndDocument();
    return !ended || Record(printer->name(), *ended);
}

std::optional<std::string> CupsSpooler::Unreachable() { return SchedulerUnreachable(kSchedulerDeadlineMs); }

void CupsSpooler::AbandonDocuments()
{
    for (const auto& printer : printers_.All())
        if (const std::optional<EndedJob> ended = printer->Abandon())
            Record(printer->name(), *ended);
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

std::vector<std::string> CupsSpooler::JobProblems(bool wait)
{
    std::vector<std::string> problems;
    for (const CreatedJob& job : CreatedJobs()) {
        const std::string name = "job " + job.printer + "-" + std::to_string(job.id);
        if (!job.accepted) {
            problems.push_back(name + " was not accepted by the scheduler");
            continue;
        }
        if (!wait)
            continue;
        const JobOutcome outcome = FollowJob(job, StateListener());
        if (!outcome.completed)
            problems.push_back(name + " did not print: " + outcome.reason);
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
