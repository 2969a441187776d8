#include <rawlet/printer.h>

#include <atomic>

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
    Error Failed(const Error& error) const;
    void Open();
    void Send(std::string_view bytes);
    void SendPiece(std::string_view piece);
    void Deliver();

    static constexpr std::size_t kPiece = 64 * 1024;

    std::unique_ptr<SystemPlatform> bundle;
    platform::Platform services;
    JobOptions options;
    std::string name;
    std::optional<codepage::Utf8ToAnsiStream> fromUtf8;
    platform::PrinterHandle handle = 0;
    bool open = false;
    bool finished = false;
    std::atomic<bool> cancelled = false;
    std::uint64_t sent = 0;
};

namespace {

Error Because(const Error& error, std::string reason)
{
    return Error(error.number(), error.source(), error.description(), std::move(reason));
}

} // namespace

// The error with the reason the spooler knows: the printer's own failure, or else the
// spooler that cannot be reached.
Error Printer::Job::Failed(const Error& error) const
{
    std::optional<std::string> why = reports() ? reports()->LastFailure() : std::nullopt;
    if (!why && reports())
        why = reports()->Unreachable();
    if (!why && cancelled)
        why = "the job was cancelled";
    return Because(error, why.value_or(""));
}

// At the first write: a printer or queue that refuses the document's start refuses the job.
void Printer::Job::Open()
{
    if (cancelled || !services.spooler.OpenPrinterA(name, handle))
        throw Failed(errors::DataQueueOpenFailed());
    open = true;
    const DocInfo docInfo{options.title, std::nullopt, std::nullopt};
    if (services.spooler.StartDocPrinterA(handle, docInfo) == 0)
        throw Failed(errors::DataQueueOpenFailed());
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
            throw Failed(errors::WriteFailed());
        piece.remove_prefix(written);
        sent += written;
    }
}

// The spooler's word on the job: taken, or not and why; with `wait`, printed or not.
void Printer::Job::Deliver()
{
    services.spooler.EndPagePrinter(handle);
    const bool accepted = services.spooler.EndDocPrinter(handle);
    services.spooler.ClosePrinter(handle);
    open = false;
    std::vector<std::string> problems;
    if (reports()) {
        if (options.onJobState)
            reports()->WatchJobStates(options.onJobState);
        problems = reports()->JobProblems(options.wait);
        reports()->WatchJobStates(nullptr);
    }
    if (!problems.empty())
        throw Because(errors::EndDocFailed(), problems.front());
    if (!accepted)
        throw Failed(errors::EndDocFailed());
}

Printer::Printer(System& system, const std::string& nameOrUri, JobOptions options)
    : job_(std::make_unique<Job>(*system.backend_, nameOrUri, std::move(options)))
{
    std::optional<std::string> found =
        MatchPrinterName(job_->services.printers, job_->services.codePage, nameOrUri);
    if (!found)
        throw job_->Failed(errors::PrinterNameRejected());
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
        throw job_->Failed(errors::WriteFailed());
    if (job_->fromUtf8)
        job_->Send(job_->fromUtf8->Convert(bytes));
    else
        job_->Send(bytes);
}

void Printer::Finish()
{
    if (job_->finished)
        return;
    // A cancel that came while the document was starting found nothing to break off yet: the
    // document is broken off now, never delivered as if whole.
    if (job_->cancelled) {
        job_->finished = true;
        Cancel();
        throw job_->Failed(errors::EndDocFailed());
    }
    if (job_->fromUtf8)
        job_->Send(job_->fromUtf8->Finish());
    job_->finished = true;
    if (job_->open)
        job_->Deliver();
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
