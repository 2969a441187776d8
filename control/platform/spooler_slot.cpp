#include "spooler_slot.h"

namespace rawlet {

SpoolerSlot& SpoolerSlot::ForThisThread() noexcept
{
    thread_local SpoolerSlot slot;
    return slot;
}

} // namespace rawlet
