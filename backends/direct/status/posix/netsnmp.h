#pragma once

// SNMP as the SNMP source asks it: libnetsnmp loaded on demand (netsnmp.cpp) and one GET or
// GETNEXT with a deadline (snmp_get.cpp). Only the SNMP source includes it, for net-snmp's
// headers.

#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <memory>
#include <string>
#include <vector>

#include "transports.h"

namespace rawlet::direct {

// The libnetsnmp functions that SNMP status is asked with. Each pointer has the type of its
// declaration in net-snmp's headers, so the compiler checks every call.
struct NetSnmp {
    decltype(&::snmp_sess_init) sessionInit;
    decltype(&::snmp_sess_open) sessionOpen;
    decltype(&::snmp_sess_close) sessionClose;
    decltype(&::snmp_sess_synch_response) synchResponse;
    decltype(&::snmp_pdu_create) pduCreate;
    decltype(&::snmp_add_null_var) addNullVariable;
    decltype(&::snmp_free_pdu) freePdu;
};

// libnetsnmp, loaded the first time status is asked for and kept for the process: neither the
// library nor the command links it, so printing never waits for it. Null when it cannot be
// loaded or lacks a function, which means that SNMP cannot be asked.
const NetSnmp* NetSnmpOnDemand();

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

// GET asks for `objects` themselves; GETNEXT for the object that follows each of them.
enum class SnmpRequest { Get, GetNext };

// The response of the agent at `agent` (net-snmp's form: "udp:192.0.2.7:161") to one request
// for `objects`, asked with `community`; null when none came by `deadline`. The time left is
// shared between a request and one repetition of it, for a datagram lost on the way.
UniquePdu SnmpAsk(const NetSnmp& snmp, const std::string& agent, const std::string& community,
                  SnmpVersion version, SnmpRequest kind, const std::vector<ObjectId>& objects,
                  Clock::time_point deadline);

} // namespace rawlet::direct
