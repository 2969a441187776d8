#pragma once

#include <string>
#include <vector>

#include <pybind11/pybind11.h>

namespace rawlet::python {

// What a printer, its spooler or a configuration file says, as a str: they may say anything,
// and bytes that are not UTF-8 become U+FFFD rather than an error.
pybind11::str Text(const std::string& text);
pybind11::list Texts(const std::vector<std::string>& texts);

} // namespace rawlet::python
