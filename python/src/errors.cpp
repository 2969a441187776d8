// C++ failures as Python exceptions: rawlet::Error as rawlet.Error (defined in Python, in
// rawlet/_error.py), a code page without tables as LookupError, as Python's codecs do.
// std::invalid_argument becomes ValueError, and every other exception RuntimeError, by
// pybind11's own translation.
#include <exception>
#include <string>

#include <rawlet/codepage/code_page_pair.h>
#include <rawlet/error.h>

#include "bindings.h"
#include "printer_text.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

// An error raised without a text of its own gets the host's standard one, as in the command.
void SetPythonError(const Error& error)
{
    const std::string source = error.source().empty() ? errors::kSource : error.source();
    const std::string description =
        error.description().empty() ? errors::StandardDescription(error.number()) : error.description();
    try {
        const py::object errorType = py::module_::import("rawlet._error").attr("Error");
        const py::object reason = error.reason().empty() ? py::object(py::none()) : Text(error.reason());
        const py::object raised = errorType(error.number(), Text(source), Text(description), reason);
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

void BindErrors(py::module_&) { py::register_exception_translator(Translate); }

} // namespace rawlet::python
