#include "shared_system.h"

namespace rawlet::python {

System& TheSystem()
{
    // Never destroyed: printers and controls left to the garbage collector, or in use on
    // daemon threads, may still reach it while the process exits.
    static System* const system = new System();
    return *system;
}

} // namespace rawlet::python
