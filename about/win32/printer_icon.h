#pragma once

#include "win32_handles.h"

namespace rawlet::about {

// The control's printer icon, 32x32 with a transparent background; empty if the system
// could not make it.
UniqueIcon CreatePrinterIcon() noexcept;

} // namespace rawlet::about
