#pragma once

#include "win32_handles.h"

namespace rawlet::about {

// The control's printer icon, `size` pixels square with a transparent background: the
// 32-pixel picture, scaled to the nearest pixel. Empty if the system could not make it.
UniqueIcon CreatePrinterIcon(int size) noexcept;

} // namespace rawlet::about
