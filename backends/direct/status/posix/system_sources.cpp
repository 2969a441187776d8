#include "status_sources.h"

namespace rawlet::direct {

// SNMP, which net-snmp gives on these systems, for a printer on the network.
void AskSystemSources(const DeviceUri& uri, StatusReport& report)
{
    if (uri.kind == DeviceUri::Kind::Socket && !uri.snmpCommunity.empty())
        Record("snmp", AskSnmp(uri.host, uri.snmpCommunity, SourceDeadline(uri)), report);
}

} // namespace rawlet::direct
