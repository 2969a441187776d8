#include "byte_view.h"

#include <string>

namespace py = pybind11;

namespace rawlet::python {

ByteView::ByteView(const py::handle& data, const char* what)
{
    if (PyUnicode_Check(data.ptr()))
        throw py::type_error(std::string(what) +
                             " takes bytes, not str: encode the text first, with rawlet.to_ansi(text) "
                             "for the ANSI code page, or text.encode() for a printer opened with utf8=True");
    if (!PyObject_CheckBuffer(data.ptr()))
        throw py::type_error(std::string(what) + " takes a bytes-like object, not " +
                             py::type::handle_of(data).attr("__name__").cast<std::string>());
    // A simple buffer is one contiguous run of bytes; an exporter that has none refuses it.
    if (PyObject_GetBuffer(data.ptr(), &view_, PyBUF_SIMPLE) != 0)
        throw py::error_already_set();
}

ByteView::~ByteView() { PyBuffer_Release(&view_); }

std::string_view ByteView::bytes() const noexcept
{
    return {static_cast<const char*>(view_.buf), static_cast<std::size_t>(view_.len)};
}

} // namespace rawlet::python
