#include "python_printer.h"

#include <utility>

#include "byte_view.h"
#include "error_texts.h"
#include "shared_system.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

// The progress call, made from a write that runs without the GIL.
std::function<void(std::uint64_t)> ProgressCall(const py::object& onSent)
{
    if (onSent.is_none())
        return nullptr;
    return [callback = onSent.ptr()](std::uint64_t sent) {
        py::gil_scoped_acquire gil;
        py::handle{callback}(sent);
    };
}

} // namespace

PythonPrinter::PythonPrinter(const std::string& nameOrUri, const std::optional<std::string>& title,
                             bool translate, bool wait, bool utf8, py::object onSent)
    : onSent_(std::move(onSent))
{
    JobOptions options;
    options.title = title.value_or("");
    options.translate = translate;
    options.wait = wait;
    options.utf8 = utf8;
    options.onSent = ProgressCall(onSent_);
    py::gil_scoped_release released;
    printer_ = std::make_shared<Printer>(TheSystem(), nameOrUri, std::move(options));
    name_ = printer_->name();
}

PythonPrinter::~PythonPrinter()
{
    py::gil_scoped_release released;
    printer_.reset();
}

std::shared_ptr<Printer> PythonPrinter::Current() const
{
    std::lock_guard lock(handleMutex_);
    return printer_;
}

// The last reference goes with the caller's, which runs without the GIL.
void PythonPrinter::LetGo()
{
    std::lock_guard lock(handleMutex_);
    printer_.reset();
}

void PythonPrinter::Write(const py::handle& data)
{
    const ByteView view(data, "write()");
    py::gil_scoped_release released;
    std::lock_guard call(callMutex_);
    const std::shared_ptr<Printer> printer = Current();
    if (!printer) {
        const Error failed = errors::WriteFailed();
        throw Error(failed.number(), failed.source(), failed.description(),
                    name_ + ": the job was " + (cancelled_ ? "cancelled" : "finished"));
    }
    printer->Write(view.bytes());
    sent_ = printer->bytesSent();
}

void PythonPrinter::Finish()
{
    py::gil_scoped_release released;
    std::lock_guard call(callMutex_);
    const std::shared_ptr<Printer> printer = Current();
    if (!printer)
        return;
    LetGo(); // delivered or not, the job is over
    printer->Finish();
}

void PythonPrinter::Cancel()
{
    py::gil_scoped_release released;
    if (const std::shared_ptr<Printer> printer = Current())
        printer->Cancel(); // a write under way on another thread fails at once and lets go of the call
    std::lock_guard call(callMutex_);
    cancelled_ = cancelled_ || Current() != nullptr;
    LetGo();
}

bool PythonPrinter::Exit(const py::handle& exceptionType)
{
    if (exceptionType.is_none())
        Finish();
    else
        Cancel();
    return false;
}

} // namespace rawlet::python
