// rawlet._rawlet: the front door (rawlet::System, rawlet::Printer) and the control
// (rawlet::Rawlet) for Python. The package rawlet re-exports it.
#include <rawlet/version.h>

#include "bindings.h"

PYBIND11_MODULE(_rawlet, module)
{
    module.doc() = "Raw printing: bytes reach the printer unchanged.";
    module.attr("__version__") = rawlet::version::kText;
    rawlet::python::BindErrors(module);
    rawlet::python::BindSystem(module);
    rawlet::python::BindPrinter(module);
    rawlet::python::BindControl(module);
}
