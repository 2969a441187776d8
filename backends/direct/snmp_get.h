#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fd_io.h"
#include "netsnmp_on_demand.h"

namespace rawlet::direct {

using ObjectId = std::vector<oid>;

// Frees a PDU with the library that made it.
class PduDeleter {
public:
    PduDeleter() = default;
    explicit PduDeleter(const NetSnmp& snmp) : snmp_(&snmp) {}
    void operator()(netsnmp_pdu* pdu) const noexcept { snmp_->freePdu(pdu); }

private:
    const NetSnmp* snmp_ = nullptr;
};
using UniquePdu = std::unique_ptr<netsnmp_pdu, PduDeleter>;

enum class SnmpVersion { V1, V2c };

// The response of the agent at `agent` (net-snmp's form: "udp:192.0.2.7:161") to one GET of
// `objects`, asked with `community`; null when none came by `deadline`. The time left is
// shared between a request and one repetition of it, for a datagram lost on the way.
UniquePdu SnmpGet(const NetSnmp& snmp, const std::string& agent, const std::string& community,
                  SnmpVersion version, const std::vector<ObjectId>& objects, Clock::time_point deadline);

} // namespace rawlet::direct
