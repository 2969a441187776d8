#pragma once

#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

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

} // namespace rawlet::direct
