// rawlet.Printer: one job on one printer, a context manager.
#include <pybind11/stl.h>

#include "bindings.h"
#include "python_printer.h"

namespace py = pybind11;

namespace rawlet::python {

void BindPrinter(py::module_& module)
{
    py::class_<PythonPrinter>(module, "Printer",
                              "One job on one printer, named (letter case free) or given by its device URI.")
        .def(py::init<const std::string&, const std::optional<std::string>&, bool, bool, bool, py::object>(),
             py::arg("name_or_uri"), py::kw_only(), py::arg("title") = py::none(),
             py::arg("translate") = false, py::arg("wait") = false, py::arg("utf8") = false,
             py::arg("on_sent") = py::none())
        .def("write", &PythonPrinter::Write, py::arg("data"),
             "Sends every byte of a bytes-like object, or raises rawlet.Error.")
        .def("finish", &PythonPrinter::Finish,
             "Ends the job and hands it over; raises rawlet.Error 32034 when it was not delivered.")
        .def("cancel", &PythonPrinter::Cancel, "Breaks the job off before it prints; from any thread.")
        .def("__enter__", [](py::object self) { return self; })
        .def(
            "__exit__",
            [](PythonPrinter& printer, const py::handle& type, const py::handle&, const py::handle&) {
                return printer.Exit(type);
            },
            "Finishes the job, or cancels it when the block raised.")
        .def_property_readonly("name", &PythonPrinter::name, "The printer's name as the system spells it.")
        .def_property_readonly("bytes_sent", &PythonPrinter::bytesSent,
                               "The bytes the printer has taken so far.");
}

} // namespace rawlet::python
