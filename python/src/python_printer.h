#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <pybind11/pybind11.h>

#include <rawlet/printer.h>

namespace rawlet::python {

// One job on one printer for Python: a rawlet::Printer that blocks without the GIL, so
// threads print side by side, and that is let go as soon as the job is finished or
// cancelled (a job ended in a `with` block is closed even while its object lives on).
class PythonPrinter {
public:
    PythonPrinter(const std::string& nameOrUri, const std::optional<std::string>& title, bool translate,
                  bool wait, bool utf8, pybind11::object onSent);
    // A job neither finished nor cancelled is cancelled.
    ~PythonPrinter();
    PythonPrinter(const PythonPrinter&) = delete;
    PythonPrinter& operator=(const PythonPrinter&) = delete;

    void Write(const pybind11::handle& data);
    void Finish();
    // From any thread: breaks the job off at once, then lets it go.
    void Cancel();
    // The end of a `with` block: finishes the job, or cancels it when the block raised.
    bool Exit(const pybind11::handle& exceptionType);

    const std::string& name() const noexcept { return name_; }
    std::uint64_t bytesSent() const noexcept { return sent_; }

private:
    std::shared_ptr<Printer> Current() const;
    void LetGo();

    std::mutex callMutex_;           // one write or finish at a time: a rawlet::Printer is single-threaded
    mutable std::mutex handleMutex_; // guards printer_ itself, never held while printing
    std::shared_ptr<Printer> printer_;
    std::string name_;
    std::atomic<std::uint64_t> sent_ = 0; // read by any thread holding the GIL
    bool cancelled_ = false;
    pybind11::object onSent_; // outlives printer_, whose progress calls borrow it
};

} // namespace rawlet::python
