#include "direct_printers.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <functional>

#include "status_sources.h"

namespace rawlet::direct {

namespace {

constexpr std::size_t kRecordedProblems = 4096;

std::atomic<std::uint32_t> lastJobId{0};

} // namespace

// One open direct printer: its device and the document in progress, if any. The thread that
// prints drives it; AbandonDocuments may interrupt it from another thread at any time, from
// its connection to the end of its document.
class DirectSpooler::Printer {
public:
    explicit Printer(DirectPrinter printer) : printer_(std::move(printer)), device_(MakeDevice(printer_.uri))
    {}

    bool Connect()
    {
        connecting_ = true;
        const bool connected = !abandoned_ && device_->Connect();
        connecting_ = false;
        if (!connected)
            failedOnItsOwn_ = !abandoned_;
        return connected;
    }
    bool inDocument() const { return jobId_ != 0; }
    std::uint32_t jobId() const { return jobId_; }
    // Connecting, or in a document (its start and end included).
    bool busy() const { return connecting_ || inDocument(); }
    bool failedOnItsOwn() const { return failedOnItsOwn_; }

    // The document counts from before the device starts it, which may connect. `confirm`
    // asks the printer, once it holds the whole document, whether it has printed it; a
    // document `waited` for is followed, from its start, by a device that keeps jobs.
    std::uint32_t Begin(const std::string& title, PrintingConfirmer confirm, bool waited)
    {
        broken_ = false;
        wroteAny_ = false;
        failedOnItsOwn_ = false;
        if (inDocument() || abandoned_)
            return 0;
        jobId_ = ++lastJobId;
        written_ = 0;
        device_->SubscribeAtStart(static_cast<bool>(confirm) || waited);
        device_->ConfirmPrinting(std::move(confirm));
        if (device_->Begin(title))
            return jobId_;
        failedOnItsOwn_ = !abandoned_;
        jobId_ = 0;
        return 0;
    }

    bool Write(std::string_view bytes)
    {
        if (!inDocument() || broken_ || abandoned_)
            return false;
        wroteAny_ = true;
        broken_ = !device_->Write(bytes);
        if (broken_)
            failedOnItsOwn_ = !abandoned_;
        else
            written_ += bytes.size();
        return !broken_;
    }

    // Delivers the document, unless it broke or was abandoned: then the device ends it as
    // incomplete. It stays in the document until the device's last wait is over, so that
    // an abandon reaches that wait too.
    bool End()
    {
        bool delivered = false;
        if (broken_ || abandoned_) {
            device_->Abort();
        } else {
            delivered = device_->Finish();
            failedOnItsOwn_ = !delivered && !abandoned_;
        }
        jobId_ = 0;
        return delivered;
    }

    // From any thread: whatever the device is doing fails at once, and every later document.
    void Abandon() noexcept
    {
        abandoned_ = true;
        device_->Interrupt();
    }

    // "NAME (URI)", or the URI alone for a printer named by its URI.
    std::string Label() const
    {
        const std::string& uri = printer_.uri.text;
        return printer_.name == uri ? uri : printer_.name + " (" + uri + ")";
    }
    // A document that broke before it was abandoned failed for the device's reason, and says
    // how much the printer had of it: what it had may print.
    platform::DocumentOutcome Failure() const
    {
        const Outcome outcome = wroteAny_ && !device_->tookNone() ? Outcome::unknown : Outcome::notPrinted;
        if (abandoned_ && !failedOnItsOwn_)
            return {outcome, printer_.name, InterruptedFailure()};
        const std::string taken = device_->taken();
        return {outcome, printer_.name,
                Label() + ": " + device_->failure() + (taken.empty() ? "" : ": " + taken),
                device_->stalled()};
    }
    // A document the device delivered: printed where the printer said so, unknown where it
    // said it stopped, or fell silent, before it had.
    platform::DocumentOutcome Delivered() const
    {
        using Word = PrintingConfirmation::Word;
        const std::optional<PrintingConfirmation>& said = device_->confirmation();
        const std::string job = "the job of " + Grouped(written_) + " bytes";
        if (!said || said->word == Word::NoAnswer || said->word == Word::StillPrinting)
            return {Outcome::delivered, printer_.name,
                    said ? Label() + ": the printer had " + job + " but did not say it had printed it" : ""};
        if (said->word == Word::Printed)
            return {Outcome::printed, printer_.name, ""};
        const std::string stop =
            said->word == Word::Stopped ? "stopped (" + said->reason + ")" : "stopped answering";
        return {Outcome::unknown, printer_.name,
                Label() + ": the printer " + stop + " before it said it had printed " + job +
                    ": some of it may have printed"};
    }
    // From any thread, once abandoned: "NAME: interrupted: " and how much the printer had.
    std::string InterruptedFailure() const
    {
        const std::string taken = device_->taken();
        return Label() + ": interrupted" + (taken.empty() ? "" : ": " + taken);
    }
    const DeviceUri& uri() const { return printer_.uri; }
    const std::string& name() const { return printer_.name; }
    int deliveredJob() const { return device_->jobId(); }
    ipp::Subscription events() const { return device_->events(); }

private:
    DirectPrinter printer_;
    std::unique_ptr<Device> device_;
    std::atomic<std::uint32_t> jobId_ = 0;
    std::atomic<bool> connecting_ = false;
    bool broken_ = false;                // the printing thread's own
    std::atomic<bool> wroteAny_ = false; // in the document in progress
    std::uint64_t written_ = 0;
    std::atomic<bool> failedOnItsOwn_ = false;
    std::atomic<bool> abandoned_ = false;
};

DirectSpooler::DirectSpooler() = default;
DirectSpooler::~DirectSpooler() = default;

bool DirectSpooler::Add(DirectPrinter printer)
{
    CheckTransport(printer.uri);
    std::lock_guard lock(mutex_);
    if (std::ranges::any_of(printers_,
                            [&](const DirectPrinter& known) { return SameName(known.name, printer.name); }))
        return false;
    printers_.push_back(std::move(printer));
    return true;
}

std::vector<DirectPrinter> DirectSpooler::Printers() const
{
    std::lock_guard lock(mutex_);
    return printers_;
}

bool DirectSpooler::Knows(std::string_view name) const { return Find(name).has_value(); }

std::optional<platform::PrinterStatus> DirectSpooler::StatusOf(std::string_view name) const
{
    const std::optional<DirectPrinter> known = Find(name);
    if (!known)
        return std::nullopt;
    return AskDirectStatus(known->name, known->uri, statusProbe_);
}

// No two names differ in letter case only (Add refuses them), so the match is the one.
std::optional<DirectPrinter> DirectSpooler::Find(std::string_view name) const
{
    std::lock_guard lock(mutex_);
    const auto found = std::ranges::find_if(
        printers_, [&](const DirectPrinter& known) { return SameName(known.name, name); });
    return found == printers_.end() ? std::nullopt : std::optional(*found);
}

void DirectSpooler::Record(const Printer& printer)
{
    platform::DocumentOutcome failure = printer.Failure();
    std::lock_guard lock(mutex_);
    lastFailure_ = std::move(failure);
}

bool DirectSpooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    std::optional<DirectPrinter> known = Find(printerName);
    if (!known)
        return false;
    auto printer = std::make_shared<Printer>(std::move(*known));
    // In the table while it connects, where AbandonDocuments can end the attempt.
    const platform::PrinterHandle opened = open_.Add(printer);
    if (!printer->Connect()) {
        open_.Remove(opened);
        Record(*printer);
        return false;
    }
    handle = opened;
    return true;
}

std::uint32_t DirectSpooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = open_.Find(handle);
    if (!printer || printer->inDocument())
        return 0;
    const std::uint32_t jobId = printer->Begin(docInfo.docName.value_or(""), ConfirmerOf(*printer), Waits());
    if (jobId == 0)
        Record(*printer);
    return jobId;
}

bool DirectSpooler::Waits() const
{
    std::lock_guard lock(mutex_);
    return printingWait_.wait;
}

// With a printing wait, a printer whose URI names its language is asked whether it printed.
PrintingConfirmer DirectSpooler::ConfirmerOf(const Printer& printer) const
{
    std::lock_guard lock(mutex_);
    if (!printingWait_.wait)
        return {};
    const DeviceUri& uri = printer.uri();
    return ConfirmerFor(uri.probe, printingWait_.limit, uri.timeout);
}

bool DirectSpooler::StartPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = open_.Find(handle);
    return printer && printer->inDocument();
}

bool DirectSpooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                                 std::uint32_t& written)
{
    written = 0;
    const auto printer = open_.Find(handle);
    const std::string_view chunk = bytes.substr(0, UINT32_MAX);
    if (!printer)
        return false;
    if (!printer->Write(chunk)) {
        if (printer->inDocument())
            Record(*printer);
        return false;
    }
    written = static_cast<std::uint32_t>(chunk.size());
    return true;
}

bool DirectSpooler::EndPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = open_.Find(handle);
    return printer && printer->inDocument();
}

bool DirectSpooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto printer = open_.Find(handle);
    return printer && printer->inDocument() && FinishDocument(*printer);
}

bool DirectSpooler::FinishDocument(Printer& printer)
{
    const std::uint32_t jobId = printer.jobId();
    if (printer.End()) {
        const int kept = printer.deliveredJob();
        std::lock_guard lock(mutex_);
        if (ended_.size() < kRecordedProblems)
            ended_.push_back(
                {printer.Delivered(), kept == 0 ? std::nullopt
                                                : std::optional<KeptJob>({printer.Label(), printer.uri(),
                                                                          kept, printer.events()})});
        return true;
    }
    platform::DocumentOutcome failure = printer.Failure();
    std::lock_guard lock(mutex_);
    lastFailure_ = failure;
    failure.reason = "job " + std::to_string(jobId) + " was not delivered: " + failure.reason;
    if (ended_.size() < kRecordedProblems)
        ended_.push_back({std::move(failure), std::nullopt});
    return false;
}

// The document is ended while the printer is still in the table, where AbandonDocuments can
// reach its last waits.
bool DirectSpooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = open_.Find(handle);
    if (!printer)
        return false;
    const bool delivered = !printer->inDocument() || FinishDocument(*printer);
    return open_.Remove(handle) && delivered;
}

// The failure is recorded at once, saying how much the printer had: the printing thread may
// not get to say it before the program ends.
void DirectSpooler::AbandonDocuments()
{
    std::optional<platform::DocumentOutcome> interrupted;
    for (const auto& printer : open_.All()) {
        const bool busy = printer->busy();
        printer->Abandon();
        if (busy && !printer->failedOnItsOwn())
            interrupted = printer->Failure();
    }
    std::lock_guard lock(mutex_);
    if (interrupted)
        lastFailure_ = std::move(interrupted);
    for (EndedDocument& document : ended_)
        document.abandoned = true;
    for (Device* device : following_)
        device->Interrupt();
}

void DirectSpooler::WatchJobStates(std::function<void(const std::string& line)> onState)
{
    std::lock_guard lock(mutex_);
    onState_ = std::move(onState);
}

// The job is followed on a connection of its own, which AbandonDocuments can end.
ipp::JobEnd DirectSpooler::Follow(const KeptJob& job, std::optional<Clock::time_point> deadline) const
{
    const std::unique_ptr<Device> device = MakeDevice(job.uri);
    Device::StateListener onState;
    {
        std::lock_guard lock(mutex_);
        // An abandonment that came before the wait, which it found no device of, ends it.
        if (std::ranges::any_of(ended_, [&job](const EndedDocument& document) {
                return document.abandoned && document.kept && document.kept->id == job.id &&
                       document.kept->uri.text == job.uri.text;
            }))
            device->Interrupt();
        following_.push_back(device.get());
        onState = onState_;
    }
    ipp::JobEnd end = device->Follow(job.id, "job " + std::to_string(job.id) + " on " + job.printer, deadline,
                                     onState, job.events);
    std::lock_guard lock(mutex_);
    std::erase(following_, device.get());
    return end;
}

std::optional<platform::DocumentOutcome> DirectSpooler::LastFailure() const
{
    std::lock_guard lock(mutex_);
    return lastFailure_;
}

void DirectSpooler::SetPrintingWait(platform::PrintingWait wait)
{
    std::lock_guard lock(mutex_);
    printingWait_ = wait;
}

std::vector<platform::DocumentOutcome> DirectSpooler::DocumentOutcomes() const
{
    std::vector<EndedDocument> ended;
    platform::PrintingWait wait;
    {
        std::lock_guard lock(mutex_);
        ended = ended_;
        wait = printingWait_;
    }
    std::vector<platform::DocumentOutcome> outcomes;
    for (EndedDocument& document : ended) {
        if (wait.wait && document.kept) {
            const ipp::JobEnd end =
                Follow(*document.kept,
                       wait.limit.count() > 0 ? std::optional(Clock::now() + wait.limit) : std::nullopt);
            document.outcome = {end.outcome, document.outcome.job, end.reason};
        }
        outcomes.push_back(std::move(document.outcome));
    }
    return outcomes;
}

} // namespace rawlet::direct
