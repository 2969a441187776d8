#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <pybind11/pybind11.h>

#include <rawlet/printer.h>

namespace rawlet::python {

// One job on one printer for Python: a rawlet::Printer that waits without the GIL, so
// threads print side by side, that Ctrl-C and cancel() break off from anywhere, the job's
// own progress call included, and that is let go as soon as the job is finished or cancelled
// (a job ended in a `with` block is closed even while its object lives on).
class PythonPrinter {
public:
    PythonPrinter(const std::string& nameOrUri, const std::optional<std::string>& title, bool translate,
                  bool wait, std::optional<double> waitTimeout, bool utf8, pybind11::object onSent);
    // A job neither finished nor cancelled is cancelled.
    ~PythonPrinter();
    PythonPrinter(const PythonPrinter&) = delete;
    PythonPrinter& operator=(const PythonPrinter&) = delete;

    void Write(const pybind11::handle& data);
    // Printed or delivered; raises once the job was cancelled: it will not print.
    JobResult Finish();
    // From any thread, and from the progress call: breaks the job off at once, then lets it go.
    void Cancel();
    // The end of a `with` block: finishes the job, or cancels it when the block raised.
    bool Exit(const pybind11::handle& exceptionType);

    const std::string& name() const noexcept { return name_; }
    std::uint64_t bytesSent() const noexcept { return sent_; }
    // The job's result once it was printed or delivered.
    std::optional<JobResult> result() const;

private:
    enum class Stage { Open, Finished, Cancelled };

    std::function<void(std::uint64_t)> ProgressCall();
    // Runs `call` without the GIL, after any other call on the printer, and so that Ctrl-C
    // cancels the job.
    void OneCallAtATime(const std::function<void()>& call);
    // The printer while the job is open; null once it is over.
    std::shared_ptr<Printer> Current() const;
    bool cancelled() const;
    std::shared_ptr<Printer> LetGo(Stage stage) noexcept;
    void Delivered(JobResult result) noexcept;
    void Failed(std::exception_ptr failure) noexcept;
    std::exception_ptr finishFailure() const;
    void CancelJob() noexcept;
    void SettleCancelled() noexcept;
    // `error`, its reason saying that the job is over, and how.
    [[noreturn]] void RaiseWriteOver();
    [[noreturn]] void RaiseOver(const Error& error) const;

    std::mutex callMutex_; // one write or finish at a time: a rawlet::Printer is single-threaded
    std::atomic<std::thread::id> caller_; // the thread in that call, which the progress call runs on
    mutable std::mutex stageMutex_;       // guards printer_ and stage_, never held while printing
    std::shared_ptr<Printer> printer_;
    Stage stage_ = Stage::Open;
    std::optional<JobResult> result_;
    // Guarded by stageMutex_: the job a cancel broke off, until a call settles how it ended.
    std::shared_ptr<Printer> cancelledJob_;
    // Guarded by stageMutex_. What the job's finish raised, raised again by a later finish(): its outcome
    // stays.
    std::exception_ptr finishFailure_;
    std::string name_;
    std::atomic<std::uint64_t> sent_ = 0; // read by any thread holding the GIL
    pybind11::object onSent_;             // outlives printer_, whose progress calls borrow it
};

} // namespace rawlet::python
