#include <rawlet/printer.h>

#include <algorithm>
#include <atomic>
#include <exception>

#include <rawlet/codepage/utf8_to_ansi_stream.h>

#include "error_texts.h"
#include "printer_names.h"
#include "system_backend.h"

namespace rawlet {

// The job's own bundle and handle, and how far it has come.
struct Printer::Job {
    Job(System::Backend& system, const std::string& nameOrUri, JobOptions jobOptions)
        : bundle(system.NewBundle()), services(bundle->Services()), options(std::move(jobOptions))
    {
        bundle->AddPrinterGivenByUri(nameOrUri);
    }

    platform::SpoolerReports* reports() const { return services.reports; }
    platform::DocumentOutcome Failure() const;
    [[noreturn]] void Refused() const;
    [[noreturn]] void WriteFailedNow();
    void Open();
    void Send(std::string_view bytes);
    void SendPiece(std::string_view piece);
    JobResult Deliver();

    static constexpr std::size_t kPiece = 64 * 1024;

    std::unique_ptr<SystemPlatform> bundle;
    platform::Platform services;
    JobOptions options;
    std::string name;
    std::optional<codepage::Utf8ToAnsiStream> fromUtf8;
    platform::PrinterHandle handle = 0;
    bool open = false;
    bool finished = false;
    std::optional<JobResult> result; // once finished as printed or delivered
    // Once finished otherwise: what the first Finish raised, which a later one raises again,
    // as the outcome it reported (unknown, say) is not the spooler's last failure.
    std::exception_ptr finishFailure;
    std::atomic<bool> cancelled = false;
    std::uint64_t sent = 0;
};

namespace {

// Longer than any wait for a job, yet short enough that a clock's time plus it is still a
// time the clock can count: a deadline past that would be over before it began.
constexpr std::chrono::milliseconds kLongestWaitLimit = std::chrono::hours(24 * 365 * 100);

Error Because(const Error& error, const platform::DocumentOutcome& outcome)
{
    return Error(error.number(), error.source(), error.description(), outcome.reason,
                 outcome.outcome == Outcome::unknown ? outcome.job : "");
}

// The error of its outcome's kind: one that will not print, or one that may.
[[noreturn]] void Throw(const Error& error, const platform::DocumentOutcome& outcome)
{
    if (outcome.outcome == Outcome::unknown)
        throw OutcomeUnknown(Because(error, outcome));
    throw NotPrinted(Because(error, outcome));
}

} // namespace

// What the spooler knows of the failure: the printer's own, or else the spooler that cannot
// be reached. A failure the spooler does not know of made nothing it could print.
platform::DocumentOutcome Printer::Job::Failure() const
{
    std::optional<platform::DocumentOutcome> failure = reports() ? reports()->LastFailure() : std::nullopt;
    if (failure)
        return *failure;
    std::optional<std::string> why = reports() ? reports()->Unreachable() : std::nullopt;
    if (!why && cancelled)
        why = "the job was cancelled";
    return {Outcome::notPrinted, "", why.value_or("")};
}

void Printer::Job::Refused() const { throw JobRefused(Because(errors::DataQueueOpenFailed(), Failure())); }

// The job is broken off, so that nothing of it prints unless the printer already had part of
// it; the failure is the one that broke the write, not the breaking off.
void Printer::Job::WriteFailedNow()
{
    const platform::DocumentOutcome failure = Failure();
    cancelled = true;
    if (reports())
        reports()->AbandonDocuments();
    const Error error = Because(errors::WriteFailed(), failure);
    if (failure.outcome == Outcome::unknown) {
        if (failure.timedOut)
            throw FailureOf<WriteTimeout, OutcomeUnknown>(error);
        throw FailureOf<WriteFailed, OutcomeUnknown>(error);
    }
    if (failure.timedOut)
        throw FailureOf<WriteTimeout, NotPrinted>(error);
    throw FailureOf<WriteFailed, NotPrinted>(error);
}

// At the first write: a printer or queue that refuses the document's start refuses the job.
void Printer::Job::Open()
{
    if (cancelled || !services.spooler.OpenPrinterA(name, handle))
        Refused();
    open = true;
    if (reports())
        reports()->SetPrintingWait({options.wait, std::min(options.waitLimit, kLongestWaitLimit)});
    const DocInfo docInfo{options.title, std::nullopt, std::nullopt};
    if (services.spooler.StartDocPrinterA(handle, docInfo) == 0)
        Refused();
    services.spooler.StartPagePrinter(handle);
}

// In pieces of a bounded size, so that a write of any size costs the memory of one piece
// (to translate it) and reports its progress as it goes.
void Printer::Job::Send(std::string_view bytes)
{
    if (bytes.empty())
        return;
    if (!open)
        Open();
    std::string oem;
    while (!bytes.empty()) {
        std::string_view piece = bytes.substr(0, kPiece);
        bytes.remove_prefix(piece.size());
        if (options.translate) {
            oem.resize(piece.size());
            services.codePage.CharToOemBuffA(piece, oem.data());
            piece = oem;
        }
        SendPiece(piece);
        if (options.onSent)
            options.onSent(sent);
    }
}

void Printer::Job::SendPiece(std::string_view piece)
{
    while (!piece.empty()) {
        std::uint32_t written = 0;
        if (cancelled || !services.spooler.WritePrinter(handle, piece, written) || written == 0 ||
            written > piece.size())
            WriteFailedNow();
        piece.remove_prefix(written);
        sent += written;
    }
}

// The spooler's word on the job: taken, or not and why; with `wait`, printed or not.
JobResult Printer::Job::Deliver()
{
    services.spooler.EndPagePrinter(handle);
    const bool accepted = services.spooler.EndDocPrinter(handle);
    services.spooler.ClosePrinter(handle);
    open = false;
    std::vector<platform::DocumentOutcome> outcomes;
    // A cancel whose abandonment came between the document's end and the spooler's record of
    // its job missed the job, whose wait would then go on: the job is abandoned again, now
    // that it is recorded. The flag is set before the abandonment, so none is missed.
    if (cancelled && reports())
        reports()->AbandonDocuments();
    if (reports()) {
        if (options.onJobState)
            reports()->WatchJobStates(options.onJobState);
        outcomes = reports()->JobOutcomes();
        reports()->WatchJobStates(nullptr);
    }
    const Error endFailed = errors::EndDocFailed();
    if (outcomes.empty()) {
        if (!accepted)
            Throw(endFailed, Failure());
        return {Outcome::delivered, name, sent, ""};
    }
    const platform::DocumentOutcome& outcome = outcomes.back();
    if (outcome.outcome == Outcome::notPrinted || outcome.outcome == Outcome::unknown)
        Throw(endFailed, outcome);
    return {outcome.outcome, outcome.job.empty() ? name : outcome.job, sent, outcome.reason};
}

Printer::Printer(System& system, const std::string& nameOrUri, JobOptions options)
    : job_(std::make_unique<Job>(*system.backend_, nameOrUri, std::move(options)))
{
    std::optional<std::string> found =
        MatchPrinterName(job_->services.printers, job_->services.codePage, nameOrUri);
    if (!found)
        throw PrinterNotFound(Because(errors::PrinterNameRejected(), job_->Failure()));
    job_->name = std::move(*found);
    if (job_->options.utf8)
        job_->fromUtf8.emplace(job_->bundle->ansiCharset());
}

Printer::~Printer()
{
    if (!job_->open)
        return;
    Cancel();
    job_->services.spooler.ClosePrinter(job_->handle);
}

void Printer::Write(std::string_view bytes)
{
    if (job_->finished)
        throw FailureOf<WriteFailed, NotPrinted>(Because(errors::WriteFailed(), job_->Failure()));
    if (job_->fromUtf8)
        job_->Send(job_->fromUtf8->Convert(bytes));
    else
        job_->Send(bytes);
}

JobResult Printer::Finish()
{
    if (job_->finished) {
        if (job_->result)
            return *job_->result;
        if (job_->finishFailure)
            std::rethrow_exception(job_->finishFailure);
        Throw(errors::EndDocFailed(), job_->Failure());
    }
    // A cancel that came while the document was starting found nothing to break off yet: the
    // document is broken off now, never delivered as if whole.
    if (job_->cancelled) {
        job_->finished = true;
        Cancel();
        // Ending the broken document has its spooler say what its printer had of it.
        if (job_->open)
            job_->services.spooler.EndDocPrinter(job_->handle);
        Throw(errors::EndDocFailed(), job_->Failure());
    }
    if (job_->fromUtf8)
        job_->Send(job_->fromUtf8->Finish());
    job_->finished = true;
    try {
        job_->result = job_->open ? job_->Deliver() : JobResult{Outcome::delivered, "", 0, ""};
    } catch (const Error&) {
        job_->finishFailure = std::current_exception();
        throw;
    }
    return *job_->result;
}

void Printer::Cancel() noexcept
{
    job_->cancelled = true;
    if (job_->reports())
        job_->reports()->AbandonDocuments();
}

const std::string& Printer::name() const noexcept { return job_->name; }

std::uint64_t Printer::bytesSent() const noexcept { return job_->sent; }

std::optional<platform::PrinterStatus> Printer::Status()
{
    return job_->reports() ? job_->reports()->StatusOf(job_->name) : std::nullopt;
}

} // namespace rawlet
