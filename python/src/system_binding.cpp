// The system's printers, what each says of itself, and its ANSI code page.
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include <rawlet/error.h>

#include "error_texts.h"

#include "bindings.h"
#include "printer_text.h"
#include "shared_system.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

using platform::PrinterStatus;

// No such printer is the error a rawlet.Printer of that name raises, its text included,
// with the reason.
PrinterStatus StatusOf(const std::string& nameOrUri, const std::optional<std::string>& probe)
{
    System& system = TheSystem();
    if (std::optional<PrinterStatus> status = system.Status(nameOrUri, probe.value_or("")))
        return std::move(*status);
    const Error noSuchPrinter = errors::PrinterNameRejected();
    throw PrinterNotFound(Error(noSuchPrinter.number(), noSuchPrinter.source(), noSuchPrinter.description(),
                                system.Unreachable().value_or("no printer named '" + nameOrUri + "'")));
}

std::string ToAnsi(const std::string& utf8) { return TheSystem().ansiCharset().Utf8ToAnsi(utf8); }

// A text as Python's repr() shows it, in quotes and with its escapes.
std::string Repr(const std::string& text) { return py::repr(Text(text)).cast<std::string>(); }

// A text member read as Text() decodes it.
template <typename Record> auto TextOf(std::string Record::*member)
{
    return [member](const Record& record) { return Text(record.*member); };
}

template <typename Record> auto TextsOf(std::vector<std::string> Record::*member)
{
    return [member](const Record& record) { return Texts(record.*member); };
}

void BindPrinterDescription(py::module_& module)
{
    py::class_<PrinterDescription>(module, "PrinterInfo",
                                   "A printer of the system, as rawlet.printers() lists it.")
        .def_property_readonly("name", TextOf(&PrinterDescription::name), "The name to print to.")
        .def_property_readonly("kind", TextOf(&PrinterDescription::kind),
                               "'queue' (the scheduler's) or 'direct' (reached without one).")
        .def_property_readonly("uri", TextOf(&PrinterDescription::uri),
                               "The device URI; empty when the spooler does not tell it.")
        .def("__repr__", [](const PrinterDescription& printer) {
            return "PrinterInfo(name=" + Repr(printer.name) + ", kind='" + printer.kind +
                   "', uri=" + Repr(printer.uri) + ")";
        });
}

void BindPrinterStatus(py::module_& module)
{
    py::class_<PrinterStatus>(module, "PrinterStatus",
                              "How a printer is now, as ``rawlet status --json`` tells it.")
        .def_property_readonly("name", TextOf(&PrinterStatus::name),
                               "The printer's name as the spooler spells it.")
        .def_readonly("ready", &PrinterStatus::ready,
                      "Reachable, taking jobs, and nothing known keeps a job from printing.")
        .def_readonly("answers", &PrinterStatus::answers,
                      "The printer, or the scheduler behind its queue, answered.")
        .def_property_readonly(
            "state", [](const PrinterStatus& status) { return platform::StateName(status.state); },
            "'idle', 'printing', 'stopped' or 'state unknown'.")
        .def_property_readonly(
            "reasons", TextsOf(&PrinterStatus::reasons),
            "IPP state reasons with their severity: 'media-empty-error', 'offline-report', ...")
        .def_property_readonly("message", TextOf(&PrinterStatus::message),
                               "The printer's or the operator's own words; may be empty.")
        .def_readonly("accepting_jobs", &PrinterStatus::acceptingJobs,
                      "New jobs are taken (they may still wait).")
        .def_readonly("queued_jobs", &PrinterStatus::queuedJobs,
                      "Jobs waiting; None where nothing queues them.")
        .def_property_readonly(
            "sources", TextsOf(&PrinterStatus::sources),
            "Where the facts came from: 'scheduler', 'transport', 'usb', 'snmp', 'ipp', 'escpos', 'zpl'.")
        .def_property_readonly("unanswered", TextsOf(&PrinterStatus::unanswered),
                               "The sources asked that gave no answer.")
        .def_property_readonly("manufacturer", TextOf(&PrinterStatus::manufacturer),
                               "From the printer's IEEE 1284 device ID; empty when unknown.")
        .def_property_readonly("model", TextOf(&PrinterStatus::model),
                               "From the device ID (or the printer's own description); empty when unknown.")
        .def_property_readonly("command_set", TextOf(&PrinterStatus::commandSet),
                               "The languages the device ID names, such as 'ESC/POS'; empty when unknown.")
        .def_property_readonly(
            "elapsed",
            [](const PrinterStatus& status) { return std::chrono::duration<double>(status.elapsed).count(); },
            "How long the answer took, in seconds.")
        .def("__repr__", [](const PrinterStatus& status) {
            return "PrinterStatus(name=" + Repr(status.name) +
                   ", ready=" + (status.ready ? "True" : "False") + ", state='" +
                   platform::StateName(status.state) + "')";
        });
}

} // namespace

void BindSystem(py::module_& module)
{
    BindPrinterDescription(module);
    BindPrinterStatus(module);
    module.def(
        "printers", [] { return TheSystem().Printers(); }, py::call_guard<py::gil_scoped_release>(),
        "The scheduler's queues, then the direct printers of printers.conf.");
    module.def("status", &StatusOf, py::arg("name_or_uri"), py::arg("probe") = py::none(),
               py::call_guard<py::gil_scoped_release>(),
               "How the printer named so (letter case free), or the device at that URI, is now.\n\n"
               "probe='escpos' or 'zpl' also asks a direct printer in its own language: those bytes are\n"
               "print data to a printer of another language, so they go only where asked.\n\n"
               "Raises rawlet.Error 32000 when there is no such printer or it cannot be asked, and\n"
               "ValueError for a device URI that names no device.");
    module.def(
        "to_ansi", [](const std::string& text) { return py::bytes(ToAnsi(text)); }, py::arg("text"),
        "The text in the system's ANSI code page, as ``rawlet print --utf8`` sends it.\n\n"
        "A character the page lacks becomes '?'. Raises LookupError when the code page has no\n"
        "tables.");
}

} // namespace rawlet::python
