#include "status_sources.h"

namespace rawlet::direct {

// Windows has no SNMP client here (net-snmp is not built for it): a socket:// printer's
// status comes from its connection and, when asked, its own language. Nothing is recorded,
// so the status names no source that was never asked.
void AskSystemSources(const DeviceUri&, StatusReport&) {}

} // namespace rawlet::direct
