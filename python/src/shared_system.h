#pragma once

#include <rawlet/system.h>

namespace rawlet::python {

// The one System of the interpreter, made at its first use: every printer and control of
// the module works over it.
System& TheSystem();

} // namespace rawlet::python
