#include "python_printer.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "bindings.h"
#include "byte_view.h"
#include "error_texts.h"
#include "interruptible.h"
#include "shared_system.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

// Marks the thread that makes a call for as long as the call lasts.
class CallerMark {
public:
    explicit CallerMark(std::atomic<std::thread::id>& caller) : caller_(caller)
    {
        caller_ = std::this_thread::get_id();
    }
    ~CallerMark() { caller_ = std::thread::id(); }
    CallerMark(const CallerMark&) = delete;
    CallerMark& operator=(const CallerMark&) = delete;

private:
    std::atomic<std::thread::id>& caller_;
};

} // namespace

PythonPrinter::PythonPrinter(const std::string& nameOrUri, const std::optional<std::string>& title,
                             bool translate, bool wait, std::optional<double> waitTimeout, bool utf8,
                             py::object onSent)
    : onSent_(std::move(onSent))
{
    if (waitTimeout && !(*waitTimeout > 0))
        throw py::value_error("wait_timeout must be a number of seconds above zero");
    JobOptions options;
    options.title = title.value_or("");
    options.translate = translate;
    options.wait = wait;
    // Far past any wait (the front door bounds it further), and never a number of
    // milliseconds out of range: infinity is a wait as long as it takes.
    constexpr double kLongestWaitTimeout = 1e12;
    if (waitTimeout)
        options.waitLimit = std::chrono::ceil<std::chrono::milliseconds>(
            std::chrono::duration<double>(std::min(*waitTimeout, kLongestWaitTimeout)));
    options.utf8 = utf8;
    options.onSent = ProgressCall();
    try {
        py::gil_scoped_release released;
        printer_ = std::make_shared<Printer>(TheSystem(), nameOrUri, std::move(options));
    } catch (const std::invalid_argument& badUri) {
        RaiseInvalidDeviceUri(badUri.what());
    }
    name_ = printer_->name();
}

PythonPrinter::~PythonPrinter()
{
    py::gil_scoped_release released;
    LetGo(Stage::Cancelled); // the last reference: the printer cancels a job still open
    std::shared_ptr<Printer> cancelled;
    std::lock_guard lock(stageMutex_);
    cancelled.swap(cancelledJob_); // let go after the lock
}

// Called from a write, which runs without the GIL. A callback that raises cancels the job,
// so that a caller who catches its exception cannot print the job cut short.
std::function<void(std::uint64_t)> PythonPrinter::ProgressCall()
{
    if (onSent_.is_none())
        return nullptr;
    return [this](std::uint64_t sent) {
        sent_ = sent;
        py::gil_scoped_acquire gil;
        try {
            onSent_(sent);
        } catch (py::error_already_set&) {
            {
                py::gil_scoped_release released;
                CancelJob();
            }
            throw;
        }
    };
}

// A write or finish from the job's own progress call would wait for itself.
void PythonPrinter::OneCallAtATime(const std::function<void()>& call)
{
    if (caller_.load() == std::this_thread::get_id())
        throw std::runtime_error("write() and finish() cannot be called from the printer's own on_sent");
    RunWithoutGil(
        [&] {
            std::lock_guard lock(callMutex_);
            const CallerMark mark(caller_);
            call();
        },
        [this] { CancelJob(); });
}

std::shared_ptr<Printer> PythonPrinter::Current() const
{
    std::lock_guard lock(stageMutex_);
    return printer_;
}

bool PythonPrinter::cancelled() const
{
    std::lock_guard lock(stageMutex_);
    return stage_ == Stage::Cancelled;
}

// The job is over, as `stage` says unless a cancel came first. The last reference to the
// printer goes with the caller's, which runs without the GIL.
std::shared_ptr<Printer> PythonPrinter::LetGo(Stage stage) noexcept
{
    std::lock_guard lock(stageMutex_);
    if (stage_ == Stage::Open)
        stage_ = stage;
    return std::exchange(printer_, nullptr);
}

// A job delivered stays so, whatever cancel came too late to stop it.
void PythonPrinter::Delivered(JobResult result) noexcept
{
    std::lock_guard lock(stageMutex_);
    stage_ = Stage::Finished;
    result_ = std::move(result);
    printer_.reset();
}

// A finish that raised ends the job, and its failure is kept for a later finish().
void PythonPrinter::Failed(std::exception_ptr failure) noexcept
{
    {
        std::lock_guard lock(stageMutex_);
        finishFailure_ = std::move(failure);
    }
    LetGo(Stage::Finished);
}

std::exception_ptr PythonPrinter::finishFailure() const
{
    std::lock_guard lock(stageMutex_);
    return finishFailure_;
}

std::optional<JobResult> PythonPrinter::result() const
{
    std::lock_guard lock(stageMutex_);
    return result_;
}

// The job is kept, broken off, until a call can ask it whether the printer may print what
// it had.
void PythonPrinter::CancelJob() noexcept
{
    const std::shared_ptr<Printer> printer = LetGo(Stage::Cancelled);
    if (!printer)
        return;
    printer->Cancel(); // a call under way on another thread fails at once
    std::lock_guard lock(stageMutex_);
    cancelledJob_ = printer;
}

// Under callMutex_: the job a cancel broke off ends, with the failure a finish() raises, of
// the kind the printer bears out: one that had part of the job may print it.
void PythonPrinter::SettleCancelled() noexcept
{
    std::shared_ptr<Printer> job;
    {
        std::lock_guard lock(stageMutex_);
        job = std::exchange(cancelledJob_, nullptr);
    }
    if (!job || finishFailure()) // a finish under way when the cancel came said how it ended
        return;
    const Error endFailed = errors::EndDocFailed();
    std::string mayPrintAt;
    try {
        job->Finish();
    } catch (const OutcomeUnknown& unknown) {
        mayPrintAt = unknown.job().empty() ? name_ : unknown.job();
    } catch (...) {
    }
    try {
        const Error over(endFailed.number(), endFailed.source(), endFailed.description(),
                         name_ + ": the job was cancelled", mayPrintAt);
        if (mayPrintAt.empty())
            throw NotPrinted(over);
        throw OutcomeUnknown(over);
    } catch (...) {
        std::lock_guard lock(stageMutex_);
        finishFailure_ = std::current_exception();
    }
}

// A job cancelled before it was delivered will not print.
void PythonPrinter::RaiseOver(const Error& error) const
{
    const Error over(error.number(), error.source(), error.description(),
                     name_ + ": the job was " + (cancelled() ? "cancelled" : "finished"));
    if (error.number() == errors::kWriteFailed)
        throw FailureOf<WriteFailed, NotPrinted>(over);
    throw NotPrinted(over);
}

// A write after the job was cancelled, or while it was: its end says whether the printer
// had part of it, which it may print.
void PythonPrinter::RaiseWriteOver()
{
    SettleCancelled();
    const Error failed = errors::WriteFailed();
    const std::string reason = name_ + ": the job was " + (cancelled() ? "cancelled" : "finished");
    try {
        if (const std::exception_ptr failure = finishFailure())
            std::rethrow_exception(failure);
    } catch (const OutcomeUnknown& unknown) {
        throw FailureOf<WriteFailed, OutcomeUnknown>(
            Error(failed.number(), failed.source(), failed.description(), reason, unknown.job()));
    } catch (...) {
    }
    throw FailureOf<WriteFailed, NotPrinted>(
        Error(failed.number(), failed.source(), failed.description(), reason));
}

void PythonPrinter::Write(const py::handle& data)
{
    const ByteView view(data, "write()");
    OneCallAtATime([&] {
        const std::shared_ptr<Printer> printer = Current();
        if (!printer)
            RaiseWriteOver();
        printer->Write(view.bytes());
        sent_ = printer->bytesSent();
        if (cancelled()) // meanwhile, as by the last piece's progress call
            RaiseWriteOver();
    });
}

JobResult PythonPrinter::Finish()
{
    JobResult finished;
    OneCallAtATime([&] {
        const std::shared_ptr<Printer> printer = Current();
        if (!printer) {
            // What the finish that ended the job raised, a cancel meanwhile included, holds:
            // the printer may have had the whole job.
            SettleCancelled();
            if (const std::exception_ptr failure = finishFailure())
                std::rethrow_exception(failure);
            if (cancelled())
                RaiseOver(errors::EndDocFailed());
            if (const std::optional<JobResult> earlier = result())
                finished = *earlier;
            return;
        }
        try {
            finished = printer->Finish();
        } catch (...) {
            Failed(std::current_exception());
            throw;
        }
        Delivered(finished);
    });
    return finished;
}

void PythonPrinter::Cancel()
{
    py::gil_scoped_release released;
    CancelJob();
}

bool PythonPrinter::Exit(const py::handle& exceptionType)
{
    if (exceptionType.is_none()) {
        Finish();
    } else {
        Cancel();
        OneCallAtATime([this] { SettleCancelled(); }); // closes the job now
    }
    return false;
}

} // namespace rawlet::python
