#include "netsnmp_on_demand.h"

#include <dlfcn.h>

#include <cstring>

namespace rawlet::direct {

namespace {

// The names of the ABI that the headers built against describe (net-snmp 5.9): a library of
// another major version would lay out its sessions differently, so none other is tried.
#ifdef __APPLE__
constexpr const char* kLibraryNames[] = {"libnetsnmp.40.dylib", "libnetsnmp.dylib"};
#else
constexpr const char* kLibraryNames[] = {"libnetsnmp.so.40"};
#endif

void* OpenLibrary()
{
    for (const char* name : kLibraryNames)
        if (void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL))
            return library;
    return nullptr;
}

template <class Function> bool Find(void* library, const char* name, Function& function)
{
    void* const symbol = ::dlsym(library, name);
    if (!symbol)
        return false;
    std::memcpy(&function, &symbol, sizeof function); // an object pointer to a function pointer
    return true;
}

bool FindAll(void* library, NetSnmp& snmp)
{
    return Find(library, "snmp_sess_init", snmp.sessionInit) &&
           Find(library, "snmp_sess_open", snmp.sessionOpen) &&
           Find(library, "snmp_sess_close", snmp.sessionClose) &&
           Find(library, "snmp_sess_synch_response", snmp.synchResponse) &&
           Find(library, "snmp_pdu_create", snmp.pduCreate) &&
           Find(library, "snmp_add_null_var", snmp.addNullVariable) &&
           Find(library, "snmp_free_pdu", snmp.freePdu);
}

const NetSnmp* Load()
{
    void* const library = OpenLibrary();
    if (!library)
        return nullptr;
    static NetSnmp snmp;
    if (!FindAll(library, snmp)) {
        ::dlclose(library);
        return nullptr;
    }
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
