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
// prints drives it; AbandonDocuments may interrupt it from another thread at any time.
class DirectSpooler::Printer {
public:
    explicit Printer(DirectPrinter printer) : printer_(std::move(printer)), device_(MakeDevice(printer_.uri))
    {}

    bool Connect() { return device_->Connect(); }
    bool inDocument() const { return jobId_ != 0; }
    std::uint32_t jobId() const { return jobId_; }

    std::uint32_t Begin(const std::string& title)
    {
        if (inDocument() || abandoned_ || !device_->Begin(title))
            return 0;
        broken_ = false;
        jobId_ = ++lastJobId;
        return jobId_;
    }

    bool Write(std::string_view bytes)
    {
        if (!inDocument() || broken_ || abandoned_)
            return false;
        broken_ = !device_->Write(bytes);
        return !broken_;
    }

    // Delivers the document, unless it broke or was abandoned: then the device ends it as
    // incomplete.
    bool End()
    {
        jobId_ = 0;
        if (broken_ || abandoned_) {
            device_->Abort();
            return false;
        }
        return device_->Finish();
    }

    // From any thread: the document in progress, and every later one, fails.
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
    std::string Failure() const
    {
        // A document that broke before it was abandoned failed for the device's reason.
        return Label() + ": " + (abandoned_ && !broken_ ? std::string("interrupted") : device_->failure());
    }
    const DeviceUri& uri() const { return printer_.uri; }
    int deliveredJob() const { return device_->jobId(); }

private:
    DirectPrinter printer_;
    std::unique_ptr<Device> device_;
    std::atomic<std::uint32_t> jobId_ = 0;
    bool broken_ = false; // the printing thread's own
    std::atomic<bool> abandoned_ = false;
};

DirectSpooler::DirectSpooler() = default;
DirectSpooler::~DirectSpooler() = default;

bool DirectSpooler::Add(DirectPrinter printer)
{
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
    std::string failure = printer.Failure();
    std::lock_guard lock(mutex_);
    lastFailure_ = std::move(failure);
}

bool DirectSpooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    std::optional<DirectPrinter> known = Find(printerName);
    if (!known)
        return false;
    auto printer = std::make_shared<Printer>(std::move(*known));
    if (!printer->Connect()) {
        Record(*printer);
        return false;
    }
    handle = open_.Add(std::move(printer));
    return true;
}

std::uint32_t DirectSpooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = open_.Find(handle);
    if (!printer || printer->inDocument())
        return 0;
    const std::uint32_t jobId = printer->Begin(docInfo.docName.value_or(""));
    if (jobId == 0)
        Record(*printer);
    return jobId;
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
        if (const int kept = printer.deliveredJob(); kept != 0) {
            std::lock_guard lock(mutex_);
            if (keptJobs_.size() < kRecordedProblems)
                keptJobs_.push_back({printer.Label(), printer.uri(), kept});
        }
        return true;
    }
    const std::string failure = printer.Failure();
    std::lock_guard lock(mutex_);
    lastFailure_ = failure;
    if (problems_.size() < kRecordedProblems)
        problems_.push_back("job " + std::to_string(jobId) + " was not delivered: " + failure);
    return false;
}

bool DirectSpooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = open_.Remove(handle);
    if (!printer)
        return false;
    return !printer->inDocument() || FinishDocument(*printer);
}

void DirectSpooler::AbandonDocuments()
{
    for (const auto& printer : open_.All())
        if (printer->inDocument())
            printer->Abandon();
    std::lock_guard lock(mutex_);
    for (Device* device : following_)
        device->Interrupt();
}

void DirectSpooler::WatchJobStates(std::function<void(const std::string& line)> onState)
{
    std::lock_guard lock(mutex_);
    onState_ = std::move(onState);
}

// The job is followed on a connection of its own, which AbandonDocuments can end.
std::optional<std::string> DirectSpooler::Follow(const KeptJob& job) const
{
    const std::unique_ptr<Device> device = MakeDevice(job.uri);
    Device::StateListener onState;
    {
        std::lock_guard lock(mutex_);
        following_.push_back(device.get());
        if (onState_)
            onState = [listener = onState_, &job](const std::string& state) {
                listener(job.printer + ": " + state);
            };
    }
    std::optional<std::string> why = device->Follow(job.id, onState);
    std::lock_guard lock(mutex_);
    std::erase(following_, device.get());
    return why;
}

std::optional<std::string> DirectSpooler::LastFailure() const
{
    std::lock_guard lock(mutex_);
    return lastFailure_;
}

std::vector<std::string> DirectSpooler::DocumentProblems(bool wait) const
{
    std::vector<std::string> problems;
    std::vector<KeptJob> kept;
    {
        std::lock_guard lock(mutex_);
        problems = problems_;
        kept = keptJobs_;
    }
    if (wait)
        for (const KeptJob& job : kept)
            if (const auto why = Follow(job))
                problems.push_back("job " + std::to_string(job.id) + " on " + job.printer +
                                   " did not print: " + *why);
    return problems;
}

} // namespace rawlet::direct
