#include "netsnmp.h"

#include "shared_library.h"

namespace rawlet::direct {

namespace {

// The names of the ABI that the headers built against describe (net-snmp 5.9): a library of
// another major version would lay out its sessions differently, so none other is tried.
#ifdef __APPLE__
#define RAWLET_NETSNMP_NAMES "libnetsnmp.40.dylib", "libnetsnmp.dylib"
#else
#define RAWLET_NETSNMP_NAMES "libnetsnmp.so.40"
#endif

bool FindAll(const posixapi::SharedLibrary& library, NetSnmp& snmp)
{
    return library.Find("snmp_sess_init", snmp.sessionInit) &&
           library.Find("snmp_sess_open", snmp.sessionOpen) &&
           library.Find("snmp_sess_close", snmp.sessionClose) &&
           library.Find("snmp_sess_synch_response", snmp.synchResponse) &&
           library.Find("snmp_pdu_create", snmp.pduCreate) &&
           library.Find("snmp_add_null_var", snmp.addNullVariable) &&
           library.Find("snmp_free_pdu", snmp.freePdu);
}

const NetSnmp* Load()
{
    static const posixapi::SharedLibrary library{RAWLET_NETSNMP_NAMES};
    static NetSnmp snmp;
    if (!library.loaded() || !FindAll(library, snmp))
        return nullptr;
    // The first snmp_sess_init sets up the library's own state (its transports, request
    // numbers) unguarded; doing it here, once, keeps threads asking together from racing.
    netsnmp_session unused;
    snmp.sessionInit(&unused);
    return &snmp;
}

} // namespace

const NetSnmp* NetSnmpOnDemand()
{
    static const NetSnmp* const snmp = Load();
    return snmp;
}

} // namespace rawlet::direct
