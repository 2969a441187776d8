#pragma once

#include <string_view>

#include <pybind11/pybind11.h>

namespace rawlet::python {

// The bytes of a bytes-like object (bytes, bytearray, memoryview, array, ...) without a
// copy; the object cannot change size while the view lives. `what` names the receiver in
// the TypeError that a str or any other object raises. Made and released with the GIL held.
class ByteView {
public:
    ByteView(const pybind11::handle& data, const char* what);
    ~ByteView();
    ByteView(const ByteView&) = delete;
    ByteView& operator=(const ByteView&) = delete;

    std::string_view bytes() const noexcept;

private:
    Py_buffer view_;
};

} // namespace rawlet::python
