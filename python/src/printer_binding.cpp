// rawlet.Printer: one job on one printer, a context manager.
#include <pybind11/stl.h>

#include "bindings.h"
#include "python_printer.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

constexpr const char* kPrinterDoc =
    "One job on one printer, named (letter case free) or given by its device URI.\n\n"
    "    with rawlet.Printer(\"Receipts\") as printer:\n"
    "        printer.write(b\"Total 23,30\\r\\n\\f\")\n\n"
    "Nothing reaches the printer before the first byte. The block's end finishes the job\n"
    "and raises rawlet.Error when it was not delivered or was cancelled; an exception inside\n"
    "the block cancels the job (nothing prints cut short) and goes on. Every call that waits\n"
    "on the printer releases the GIL: threads print side by side, each with its own Printer.\n"
    "Ctrl-C while one waits raises KeyboardInterrupt at once and cancels the job.";

constexpr const char* kInitDoc =
    "Opens nothing yet; raises rawlet.Error 32000 when there is no such printer.\n\n"
    "title: the job's name in the spooler. translate: ANSI to OEM (DOS) code page on\n"
    "the way. utf8: the bytes written are UTF-8 text, sent in the ANSI code page.\n"
    "wait: finish() returns only once the job has printed. on_sent: called after each\n"
    "write with the bytes sent so far; one that raises cancels the job. ValueError for a\n"
    "device URI that names no device.";

} // namespace

void BindPrinter(py::module_& module)
{
    py::class_<PythonPrinter>(module, "Printer", kPrinterDoc)
        .def(py::init<const std::string&, const std::optional<std::string>&, bool, bool, bool, py::object>(),
             py::arg("name_or_uri"), py::kw_only(), py::arg("title") = py::none(),
             py::arg("translate") = false, py::arg("wait") = false, py::arg("utf8") = false,
             py::arg("on_sent") = py::none(), kInitDoc)
        .def("write", &PythonPrinter::Write, py::arg("data"),
             "Sends every byte (converted and translated as the options say), or raises\n"
             "rawlet.Error 32036 (refused at the start) or 32037 (the printer broke off, stalled,\n"
             "or the job was cancelled). A str raises TypeError.")
        .def("finish", &PythonPrinter::Finish,
             "Ends the job and hands it over; raises rawlet.Error 32034 when it was not\n"
             "delivered, was cancelled or, with wait, did not print. Only the first call does\n"
             "anything, but every one after a cancel raises.")
        .def("cancel", &PythonPrinter::Cancel,
             "Breaks the job off before it prints, at once, from any thread or from on_sent: a\n"
             "write() or finish() under way raises rawlet.Error, and nothing more is sent.")
        .def("__enter__", [](py::object self) { return self; })
        .def(
            "__exit__",
            [](PythonPrinter& printer, const py::handle& type, const py::handle&, const py::handle&) {
                return printer.Exit(type);
            },
            "Finishes the job, or cancels it when the block raised.")
        .def_property_readonly(
            "name", &PythonPrinter::name,
            "The printer's name as the system spells it (the URI, for a device given by it).")
        .def_property_readonly("bytes_sent", &PythonPrinter::bytesSent,
                               "The bytes the printer has taken so far.");
}

} // namespace rawlet::python
