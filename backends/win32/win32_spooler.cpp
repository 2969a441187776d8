#include "win32_spooler.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>

#include "raw_data_type.h"
#include "win32_queue_status.h"

namespace rawlet::win32 {

namespace {

// winspool's document record wants writable ANSI strings; an absent field is a null
// pointer, not an empty string.
class DocInfo1 {
public:
    explicit DocInfo1(const DocInfo& docInfo)
        : docName_(docInfo.docName), outputFile_(docInfo.outputFile), dataType_(docInfo.dataType)
    {
        record_.pDocName = Pointer(docName_);
        record_.pOutputFile = Pointer(outputFile_);
        record_.pDatatype = Pointer(dataType_);
    }
    DocInfo1(const DocInfo1&) = delete;
    DocInfo1& operator=(const DocInfo1&) = delete;

    DOC_INFO_1A& get() noexcept { return record_; }

private:
    static char* Pointer(std::optional<std::string>& text) noexcept { return text ? text->data() : nullptr; }

    std::optional<std::string> docName_;
    std::optional<std::string> outputFile_;
    std::optional<std::string> dataType_;
    DOC_INFO_1A record_{};
};

using EventHandle = winapi::Unique<HANDLE, ::CloseHandle>;

constexpr std::size_t kRecorded = 4096;

} // namespace

Win32Spooler::Win32Spooler(WinspoolCalls calls) : calls_(std::move(calls)) {}

Win32Spooler::~Win32Spooler() = default;

// A new job: an abandoned one's failure is no longer the last.
bool Win32Spooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    {
        std::lock_guard lock(endedMutex_);
        lastFailure_.reset();
    }
    std::string name(printerName);
    HANDLE opened = nullptr;
    if (!::OpenPrinterA(name.data(), &opened, nullptr))
        return false;
    auto printer = std::make_shared<Printer>();
    printer->name = std::move(name);
    printer->handle.reset(opened);
    handle = printers_.Add(std::move(printer));
    return true;
}

std::uint32_t Win32Spooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return 0;
    const DWORD job = StartDocument(*printer, docInfo);
    if (job != 0) {
        printer->job = job;
        printer->document = Document::inProgress;
    }
    return job;
}

DWORD Win32Spooler::StartDocument(Printer& printer, const DocInfo& docInfo)
{
    DocInfo1 asGiven(docInfo);
    if (docInfo.dataType)
        return calls_.startDocument(printer.handle.get(), asGiven.get());
    DocInfo named = docInfo;
    named.dataType = RawDataTypeOf(printer.handle.get(), calls_);
    DocInfo1 record(named);
    const DWORD job = calls_.startDocument(printer.handle.get(), record.get());
    if (job != 0 || ::GetLastError() != ERROR_INVALID_DATATYPE)
        return job;
    return calls_.startDocument(printer.handle.get(), asGiven.get());
}

bool Win32Spooler::StartPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && ::StartPagePrinter(printer->handle.get());
}

// Reports what winspool reports; the control offers the rest of a short write again.
bool Win32Spooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                                std::uint32_t& written)
{
    written = 0;
    const auto printer = printers_.Find(handle);
    if (!printer || bytes.size() > MAXDWORD)
        return false;
    DWORD count = 0;
    const BOOL ok = ::WritePrinter(printer->handle.get(), const_cast<char*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size()), &count);
    written = count;
    return ok != FALSE;
}

bool Win32Spooler::EndPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && ::EndPagePrinter(printer->handle.get());
}

bool Win32Spooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return false;
    return EndDocument(*printer);
}

// A document abandoned before its end was aborted: it is not called accepted, whatever the
// spooler then says. One abandoned while it was ending is recorded first and then marked, so
// that its wait ends at once and deletes its job; one the spooler would not end is aborted now.
bool Win32Spooler::EndDocument(Printer& printer)
{
    Document state = Document::inProgress;
    const bool ours = printer.document.compare_exchange_strong(state, Document::ending);
    const bool ok = calls_.endDocument(printer.handle.get());
    if (!ours)
        return false;
    Record(printer, ok);
    state = Document::ending;
    if (printer.document.compare_exchange_strong(state, ok ? Document::none : Document::inProgress))
        return ok;
    printer.document = Document::none;
    std::optional<platform::DocumentOutcome> abandoned;
    if (!ok)
        abandoned = Abandoned(printer);
    std::lock_guard lock(endedMutex_);
    if (abandoned)
        lastFailure_ = abandoned;
    if (EndedDocument* recorded = RecordOf({printer.name, printer.job}); recorded && !recorded->outcome)
        recorded->abandoned = true;
    return ok;
}

// A document still in progress is ended first, so its bytes are delivered and not dropped.
bool Win32Spooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Remove(handle);
    if (!printer)
        return false;
    if (printer->document == Document::inProgress)
        EndDocument(*printer);
    return true; // the winspool handle closes with its last user
}

// A wait that begins after the abandonment ends at once too: its document is marked.
void Win32Spooler::AbandonDocuments()
{
    std::optional<platform::DocumentOutcome> abandoned;
    for (const auto& printer : printers_.All()) {
        Document state = Document::inProgress;
        if (printer->document.compare_exchange_strong(state, Document::none))
            abandoned = Abandoned(*printer);
        else if (state == Document::ending)
            printer->document.compare_exchange_strong(state, Document::abandonedWhileEnding);
    }
    std::lock_guard lock(endedMutex_);
    if (abandoned)
        lastFailure_ = abandoned;
    for (EndedDocument& document : ended_)
        document.abandoned = document.abandoned || !document.outcome;
    for (const HANDLE wait : following_)
        ::SetEvent(wait);
}

// Windows' spooler may send a job to its port while the document is still written: one the
// port had begun, before or as it was deleted, may have printed in part. A spooler whose
// abort leaves the job kept and not being deleted (Wine's, which then hands what was written
// on as the handle closes) has not dropped it either.
platform::DocumentOutcome Win32Spooler::Abandoned(const Printer& printer) const
{
    constexpr DWORD kBegun = JOB_STATUS_PRINTING | JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE;
    const QueueJob job{printer.name, printer.job};
    const std::optional<JobFacts> before = calls_.jobFacts(printer.handle.get(), job.id);
    ::AbortPrinter(printer.handle.get());
    const std::optional<JobFacts> after = calls_.jobFacts(printer.handle.get(), job.id);
    if (after && !(after->status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)))
        return {Outcome::unknown, JobName(job),
                JobName(job) + " was cancelled, but the spooler kept it: what was written may print"};
    if ((before && (before->status & kBegun)) || (after && (after->status & kBegun)))
        return {Outcome::unknown, JobName(job),
                JobName(job) + " was cancelled while it was printing: some of it may have printed"};
    return {Outcome::notPrinted, JobName(job), JobName(job) + " was cancelled before it printed"};
}

std::optional<platform::DocumentOutcome> Win32Spooler::LastFailure()
{
    std::lock_guard lock(endedMutex_);
    return lastFailure_;
}

void Win32Spooler::Record(const Printer& printer, bool accepted)
{
    std::lock_guard lock(endedMutex_);
    if (ended_.size() == kRecorded)
        ended_.pop_front();
    ended_.push_back({{printer.name, printer.job}, accepted});
}

void Win32Spooler::SetPrintingWait(platform::PrintingWait wait)
{
    std::lock_guard lock(endedMutex_);
    printingWait_ = wait;
}

void Win32Spooler::WatchJobStates(std::function<void(const std::string& line)> onState)
{
    std::lock_guard lock(endedMutex_);
    onJobState_ = std::move(onState);
}

// A document the spooler would not end may still be in its queue.
std::vector<platform::DocumentOutcome> Win32Spooler::JobOutcomes()
{
    std::vector<EndedDocument> documents;
    platform::PrintingWait wait;
    {
        std::lock_guard lock(endedMutex_);
        documents.assign(ended_.begin(), ended_.end());
        wait = printingWait_;
    }
    std::optional<Clock::time_point> deadline;
    if (wait.limit.count() > 0)
        deadline = Clock::now() + wait.limit;
    std::vector<platform::DocumentOutcome> outcomes;
    for (const EndedDocument& document : documents) {
        if (document.outcome)
            outcomes.push_back(*document.outcome);
        else if (!document.accepted)
            outcomes.push_back({Outcome::unknown, JobName(document.job),
                                "the spooler refused to end the document, which may still print"});
        else if (!wait.wait)
            outcomes.push_back({Outcome::delivered, JobName(document.job), ""});
        else
            outcomes.push_back(Follow(document, deadline));
    }
    return outcomes;
}

// The wait is known to AbandonDocuments before it begins, so that an abandonment that comes
// before it ends it too. The job's outcome is kept.
platform::DocumentOutcome Win32Spooler::Follow(const EndedDocument& document,
                                               std::optional<Clock::time_point> deadline)
{
    const EventHandle interruption(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!interruption)
        return {Outcome::unknown, JobName(document.job),
                JobName(document.job) + " may print: it could not be followed (error " +
                    std::to_string(::GetLastError()) + ")"};
    FollowRules rules{deadline, interruption.get(), nullptr};
    {
        std::lock_guard lock(endedMutex_);
        if (const EndedDocument* recorded = RecordOf(document.job); recorded && recorded->abandoned)
            ::SetEvent(interruption.get());
        following_.push_back(interruption.get());
        rules.onState = onJobState_;
    }
    const platform::DocumentOutcome outcome = FollowJob(document.job, rules, calls_);
    std::lock_guard lock(endedMutex_);
    std::erase(following_, interruption.get());
    if (EndedDocument* recorded = RecordOf(document.job))
        recorded->outcome = outcome;
    return outcome;
}

// Under endedMutex_: the record of `job`; null once it has left the record.
Win32Spooler::EndedDocument* Win32Spooler::RecordOf(const QueueJob& job)
{
    const auto recorded = std::ranges::find_if(ended_, [&job](const EndedDocument& ended) {
        return ended.job.printer == job.printer && ended.job.id == job.id;
    });
    return recorded == ended_.end() ? nullptr : &*recorded;
}

std::optional<platform::PrinterStatus> Win32Spooler::StatusOf(const std::string& printerName)
{
    return QueueStatus(printerName, calls_);
}

std::size_t Win32Spooler::LiveHandles() const { return printers_.size(); }

} // namespace rawlet::win32
