// rawlet.Printer: one job on one printer, a context manager.
#include <pybind11/stl.h>

#include "bindings.h"
#include "printer_text.h"
#include "python_printer.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

constexpr const char* kPrinterDoc =
    "One job on one printer, named (letter case free) or given by its device URI.\n\n"
    "    with rawlet.Printer(\"Receipts\") as printer:\n"
    "        printer.write(b\"Total 23,30\\r\\n\\f\")\n\n"
    "Nothing reaches the printer before the first byte. The block's end finishes the job\n"
    "(result tells how) and raises rawlet.NotPrinted or rawlet.OutcomeUnknown when it was\n"
    "not delivered, did not print, or was cancelled; an exception inside\n"
    "the block cancels the job (nothing prints cut short) and goes on. Every call that waits\n"
    "on the printer releases the GIL: threads print side by side, each with its own Printer.\n"
    "Ctrl-C while one waits raises KeyboardInterrupt at once and cancels the job.";

constexpr const char* kInitDoc =
    "Opens nothing yet; raises rawlet.PrinterNotFound (32000) when there is no such printer,\n"
    "rawlet.InvalidDeviceUri (also a ValueError) for a device URI that names no device.\n\n"
    "title: the job's name in the spooler. translate: ANSI to OEM (DOS) code page on\n"
    "the way. utf8: the bytes written are UTF-8 text, sent in the ANSI code page.\n"
    "wait: finish() returns only once the job has printed; wait_timeout: at most so many\n"
    "seconds, after which a job still open is unknown. on_sent: called after each write\n"
    "with the bytes sent so far; one that raises cancels the job.";

constexpr const char* kResultDoc =
    "What became of a job that was printed or delivered: outcome (\"printed\" or\n"
    "\"delivered\"), job (the spooler's name for it, \"Receipts-7\", or the printer's name)\n"
    "and bytes (the bytes the printer or spooler took).";

} // namespace

void BindResult(py::module_& module)
{
    py::class_<JobResult>(module, "JobResult", kResultDoc)
        .def_property_readonly(
            "outcome", [](const JobResult& result) { return OutcomeName(result.outcome); },
            "\"printed\" (the spooler or the printer itself said so) or \"delivered\" (the spooler\n"
            "holds the whole job, or the printer acknowledged every byte).")
        .def_property_readonly(
            "job", [](const JobResult& result) { return Text(result.job); },
            "The job as its spooler names it (\"Receipts-7\"), or the printer's name.")
        .def_readonly("bytes", &JobResult::bytes, "The bytes the printer or spooler took.")
        .def_property_readonly(
            "reason", [](const JobResult& result) { return Text(result.reason); },
            "For a job waited for that is only delivered: why it is not known to have printed;\n"
            "empty otherwise.")
        .def("__repr__", [](const JobResult& result) {
            return "JobResult(outcome=" + py::repr(py::str(OutcomeName(result.outcome))).cast<std::string>() +
                   ", job=" + py::repr(Text(result.job)).cast<std::string>() +
                   ", bytes=" + std::to_string(result.bytes) + ")";
        });
}

void BindPrinter(py::module_& module)
{
    BindResult(module);
    py::class_<PythonPrinter>(module, "Printer", kPrinterDoc)
        .def(py::init<const std::string&, const std::optional<std::string>&, bool, bool,
                      std::optional<double>, bool, py::object>(),
             py::arg("name_or_uri"), py::kw_only(), py::arg("title") = py::none(),
             py::arg("translate") = false, py::arg("wait") = false, py::arg("wait_timeout") = py::none(),
             py::arg("utf8") = false, py::arg("on_sent") = py::none(), kInitDoc)
        .def("write", &PythonPrinter::Write, py::arg("data"),
             "Sends every byte (converted and translated as the options say), or raises\n"
             "rawlet.JobRefused (32036, refused at the start) or rawlet.WriteFailed (32037: the\n"
             "printer broke off, or stalled: WriteTimeout, or the job was cancelled), each also\n"
             "NotPrinted or OutcomeUnknown. A str raises TypeError.")
        .def("finish", &PythonPrinter::Finish,
             "Ends the job and hands it over; returns its JobResult (printed or delivered), or\n"
             "raises rawlet.NotPrinted or rawlet.OutcomeUnknown (32034) when it was not delivered,\n"
             "was cancelled or, with wait, did not print. Only the first call does anything,\n"
             "but every one after a cancel raises.")
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
                               "The bytes the printer has taken so far.")
        .def_property_readonly("result", &PythonPrinter::result,
                               "The JobResult once the job was printed or delivered; None before.");
}

} // namespace rawlet::python
