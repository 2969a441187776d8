#pragma once

#include "spooler.h"

namespace rawlet {

// The printer handle of the queue opened last on this thread. Every control instance on a
// thread shares it; instances on other threads (other COM apartments) have their own.
struct SpoolerSlot {
    platform::PrinterHandle handle = 0;

    static SpoolerSlot& ForThisThread() noexcept;
};

} // namespace rawlet
