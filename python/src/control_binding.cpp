// rawlet.Rawlet: the control itself, member for member, for programs ported from Windows.
// Every member that reaches the printer runs without the GIL. The control keeps one printer
// handle per thread: the instances used on one Python thread share it.
#include <memory>
#include <string>

#include <rawlet/rawlet.h>

#include "bindings.h"
#include "byte_view.h"
#include "shared_system.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

using Released = py::call_guard<py::gil_scoped_release>;

// An instance whose document is still open delivers it as it goes, which may wait on the
// printer: other threads run meanwhile.
struct DeleteWithoutGil {
    void operator()(Rawlet* control) const
    {
        py::gil_scoped_release released;
        delete control;
    }
};
using ControlHolder = std::unique_ptr<Rawlet, DeleteWithoutGil>;

ControlHolder NewControl() { return ControlHolder(new Rawlet(TheSystem().Services())); }

void SetPrinterData(Rawlet& control, const py::handle& data)
{
    const ByteView view(data, "PrinterData");
    py::gil_scoped_release released;
    control.SetPrinterData(view.bytes());
}

void BindProperties(py::class_<Rawlet, ControlHolder>& control)
{
    control
        .def_property(
            "PrinterName", &Rawlet::PrinterName,
            [](Rawlet& self, const std::string& name) {
                py::gil_scoped_release released;
                self.SetPrinterName(name);
            },
            "The printer printed to; setting a name no printer has raises rawlet.Error 32000.")
        .def_property(
            "PrinterData", [](const Rawlet& self) { return py::bytes(self.PrinterData()); }, &SetPrinterData,
            "Each bytes-like object assigned is written to the printer at once; reads the last one.")
        .def_property("PrinterTranslate", &Rawlet::PrinterTranslate, &Rawlet::SetPrinterTranslate,
                      "Translate the data from the ANSI to the OEM (DOS) code page on the way.")
        .def_property("PrinterDocumentName", &Rawlet::PrinterDocumentName, &Rawlet::SetPrinterDocumentName,
                      "The job's name in the spooler.");
}

void BindMethods(py::class_<Rawlet, ControlHolder>& control)
{
    control.def("StartDoc", &Rawlet::StartDoc, Released(), "Starts a document on PrinterName.")
        .def("EndPage", &Rawlet::EndPage, Released(), "Ends the page.")
        .def("EndDoc", &Rawlet::EndDoc, Released(), "Ends the document and hands it to the printer.")
        .def("PrinterClose", &Rawlet::PrinterClose, Released(), "Closes the printer, ending any document.")
        .def("killDocument", &Rawlet::killDocument, Released(),
             "Sends the printer reset ESC @, then ends the document as PrinterClose does: what\n"
             "was written is delivered and prints, followed by the ESC @.");
}

} // namespace

void BindControl(py::module_& module)
{
    py::class_<Rawlet, ControlHolder> control(
        module, "Rawlet",
        "The raw-printing control, member for member, for programs ported from Windows.\n\n"
        "All instances used on one Python thread share that thread's printer handle, as the\n"
        "control's instances in one Windows program do; rawlet.Printer has no such handle.\n"
        "Failures raise rawlet.Error with the control's numbers.");
    control.def(py::init(&NewControl), Released());
    BindProperties(control);
    BindMethods(control);
}

} // namespace rawlet::python
