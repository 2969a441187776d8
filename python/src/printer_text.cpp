#include "printer_text.h"

namespace py = pybind11;

namespace rawlet::python {

py::str Text(const std::string& text)
{
    PyObject* decoded = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
    if (!decoded)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

py::list Texts(const std::vector<std::string>& texts)
{
    py::list list;
    for (const std::string& text : texts)
        list.append(Text(text));
    return list;
}

} // namespace rawlet::python
