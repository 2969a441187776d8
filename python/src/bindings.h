#pragma once

#include <string>

#include <pybind11/pybind11.h>

// The parts of the module, each adding its names to it.
namespace rawlet::python {

void BindErrors(pybind11::module_& module);
void BindSystem(pybind11::module_& module);
void BindPrinter(pybind11::module_& module);
void BindControl(pybind11::module_& module);

// Raises rawlet.InvalidDeviceUri (32000, and a ValueError) saying why.
[[noreturn]] void RaiseInvalidDeviceUri(const std::string& why);

} // namespace rawlet::python
