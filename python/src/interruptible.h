#pragma once

#include <functional>

namespace rawlet::python {

// Runs `work` without the GIL, as a call that waits on a printer must, and so that Ctrl-C
// reaches it. Python runs signal handlers on its main thread, between its own instructions,
// which a thread waiting on a printer never reaches: while `work` runs there, SIGINT (as long
// as its handler is Python's own, which raises KeyboardInterrupt) also calls `stop`, which
// must make `work` end at once, from another thread. Then, or when a signal came meanwhile,
// the handlers run and what they raise is raised, in place of the outcome of `work`.
// Called with the GIL.
void RunWithoutGil(const std::function<void()>& work, const std::function<void()>& stop);

} // namespace rawlet::python
