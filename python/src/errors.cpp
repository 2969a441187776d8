// C++ failures as Python exceptions: rawlet::Error as rawlet.Error of the same kind (defined
// in Python, in rawlet/_error.py), a code page without tables as LookupError, as Python's codecs do.
// std::invalid_argument becomes ValueError, and every other exception RuntimeError, by
// pybind11's own translation.
#include <exception>
#include <string>

#include <rawlet/codepage/code_page_pair.h>
#include <rawlet/error.h>

#include "bindings.h"
#include "error_texts.h"
#include "printer_text.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

template <class Kind> bool Is(const Error& error) { return dynamic_cast<const Kind*>(&error) != nullptr; }

// The kind and outcome rawlet._error names the Python class by.
const char* KindOf(const Error& error)
{
    if (Is<PrinterNotFound>(error))
        return "printer not found";
    if (Is<JobRefused>(error))
        return "job refused";
    if (Is<WriteTimeout>(error))
        return "write timeout";
    return Is<WriteFailed>(error) ? "write failed" : "";
}

const char* OutcomeOf(const Error& error)
{
    if (Is<OutcomeUnknown>(error))
        return "unknown";
    return Is<NotPrinted>(error) ? "not printed" : "";
}

py::object TextOrNone(const std::string& text) { return text.empty() ? py::object(py::none()) : Text(text); }

// An error raised without a text of its own gets the host's standard one, as in the command.
void SetPythonError(const Error& error)
{
    const std::string source = error.source().empty() ? errors::kSource : error.source();
    const std::string description =
        error.description().empty() ? errors::StandardDescription(error.number()) : error.description();
    try {
        const py::object errorType =
            py::module_::import("rawlet._error").attr("_raised")(KindOf(error), OutcomeOf(error));
        const py::object raised = errorType(error.number(), Text(source), Text(description),
                                            TextOrNone(error.reason()), TextOrNone(error.job()));
        PyErr_SetObject(errorType.ptr(), raised.ptr());
    } catch (py::error_already_set& failure) {
        failure.restore(); // the package is broken: its own failure says how
    }
}

void Translate(std::exception_ptr thrown)
{
    try {
        if (thrown)
            std::rethrow_exception(thrown);
    } catch (const Error& error) {
        SetPythonError(error);
    } catch (const codepage::UnsupportedCodePage& error) {
        PyErr_SetString(PyExc_LookupError, error.what());
    }
}

} // namespace

void RaiseInvalidDeviceUri(const std::string& why)
{
    const Error rejected = errors::PrinterNameRejected();
    const py::object errorType = py::module_::import("rawlet._error").attr("InvalidDeviceUri");
    const py::object raised =
        errorType(rejected.number(), Text(rejected.source()), Text(rejected.description()), Text(why));
    PyErr_SetObject(errorType.ptr(), raised.ptr());
    throw py::error_already_set();
}

void BindErrors(py::module_&) { py::register_exception_translator(Translate); }

} // namespace rawlet::python
