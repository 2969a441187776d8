// The libcups functions Rawlet calls, loaded on first use rather than when the command
// starts: libcups brings some thirty libraries (GnuTLS, Kerberos, Avahi, D-Bus, ...) whose
// loading and set-up took most of the time of a receipt sent to a direct printer, which
// needs none of them. The command is therefore not linked to libcups; the library is.
//
// Each definition has the declaration of <cups/cups.h> in view, so the compiler checks that
// it matches.
#include <cstdio>
#include <cstdlib>

#include <cups/cups.h>

#include "shared_library.h"

namespace {

#ifdef __APPLE__
constexpr const char* kLibcups = "libcups.2.dylib";
#else
constexpr const char* kLibcups = "libcups.so.2";
#endif

// Loaded once, by the first thread that needs it (the others wait), and never unloaded, so
// that a call made while the process ends still finds it.
const rawlet::posixapi::SharedLibrary& Libcups()
{
    static const rawlet::posixapi::SharedLibrary* const library = [] {
        const auto* loaded = new rawlet::posixapi::SharedLibrary{kLibcups};
        if (!loaded->loaded()) {
            std::fprintf(stderr, "rawlet: cannot load libcups: %s\n", loaded->failure().c_str());
            std::exit(1);
        }
        return loaded;
    }();
    return *library;
}

template <class Function> Function* Find(const char* name)
{
    Function* const function = Libcups().Find<Function>(name);
    if (!function) {
        std::fprintf(stderr, "rawlet: libcups has no %s\n", name);
        std::exit(1);
    }
    return function;
}

} // namespace

// Defines NAME with the given parameters, calling libcups's NAME with the given arguments.
#define RAWLET_ON_DEMAND(Result, name, parameters, arguments)                                                \
    extern "C" Result name parameters                                                                        \
    {                                                                                                        \
        static const auto real = Find<Result parameters>(#name);                                             \
        return real arguments;                                                                               \
    }

RAWLET_ON_DEMAND(ipp_status_t, cupsCancelDestJob, (http_t * http, cups_dest_t* dest, int job_id),
                 (http, dest, job_id))
RAWLET_ON_DEMAND(cups_dinfo_t*, cupsCopyDestInfo, (http_t * http, cups_dest_t* dest), (http, dest))
RAWLET_ON_DEMAND(ipp_status_t, cupsCreateDestJob,
                 (http_t * http, cups_dest_t* dest, cups_dinfo_t* info, int* job_id, const char* title,
                  int num_options, cups_option_t* options),
                 (http, dest, info, job_id, title, num_options, options))
RAWLET_ON_DEMAND(ipp_t*, cupsDoRequest, (http_t * http, ipp_t* request, const char* resource),
                 (http, request, resource))
RAWLET_ON_DEMAND(http_encryption_t, cupsEncryption, (void), ())
RAWLET_ON_DEMAND(ipp_status_t, cupsFinishDestDocument, (http_t * http, cups_dest_t* dest, cups_dinfo_t* info),
                 (http, dest, info))
RAWLET_ON_DEMAND(void, cupsFreeDestInfo, (cups_dinfo_t * dinfo), (dinfo))
RAWLET_ON_DEMAND(void, cupsFreeDests, (int num_dests, cups_dest_t* dests), (num_dests, dests))
RAWLET_ON_DEMAND(int, cupsGetDests2, (http_t * http, cups_dest_t** dests), (http, dests))
RAWLET_ON_DEMAND(cups_dest_t*, cupsGetNamedDest, (http_t * http, const char* name, const char* instance),
                 (http, name, instance))
RAWLET_ON_DEMAND(const char*, cupsGetOption, (const char* name, int num_options, cups_option_t* options),
                 (name, num_options, options))
RAWLET_ON_DEMAND(ipp_t*, cupsGetResponse, (http_t * http, const char* resource), (http, resource))
RAWLET_ON_DEMAND(ipp_status_t, cupsLastError, (void), ())
RAWLET_ON_DEMAND(const char*, cupsLastErrorString, (void), ())
RAWLET_ON_DEMAND(http_status_t, cupsSendRequest,
                 (http_t * http, ipp_t* request, const char* resource, size_t length),
                 (http, request, resource, length))
RAWLET_ON_DEMAND(const char*, cupsServer, (void), ())
RAWLET_ON_DEMAND(http_status_t, cupsStartDestDocument,
                 (http_t * http, cups_dest_t* dest, cups_dinfo_t* info, int job_id, const char* docname,
                  const char* format, int num_options, cups_option_t* options, int last_document),
                 (http, dest, info, job_id, docname, format, num_options, options, last_document))
RAWLET_ON_DEMAND(const char*, cupsUser, (void), ())
RAWLET_ON_DEMAND(http_status_t, cupsWriteRequestData, (http_t * http, const char* buffer, size_t length),
                 (http, buffer, length))
RAWLET_ON_DEMAND(int, httpAddrFamily, (http_addr_t * addr), (addr))
RAWLET_ON_DEMAND(void, httpAddrFreeList, (http_addrlist_t * addrlist), (addrlist))
RAWLET_ON_DEMAND(http_addrlist_t*, httpAddrGetList, (const char* hostname, int family, const char* service),
                 (hostname, family, service))
RAWLET_ON_DEMAND(int, httpAddrLength, (const http_addr_t* addr), (addr))
RAWLET_ON_DEMAND(void, httpClose, (http_t * http), (http))
RAWLET_ON_DEMAND(http_t*, httpConnect2,
                 (const char* host, int port, http_addrlist_t* addrlist, int family,
                  http_encryption_t encryption, int blocking, int msec, int* cancel),
                 (host, port, addrlist, family, encryption, blocking, msec, cancel))
RAWLET_ON_DEMAND(int, httpError, (http_t * http), (http))
RAWLET_ON_DEMAND(int, httpGetFd, (http_t * http), (http))
RAWLET_ON_DEMAND(http_status_t, httpGetStatus, (http_t * http), (http))
RAWLET_ON_DEMAND(int, httpReconnect2, (http_t * http, int msec, int* cancel), (http, msec, cancel))
RAWLET_ON_DEMAND(void, httpSetTimeout, (http_t * http, double timeout, http_timeout_cb_t cb, void* user_data),
                 (http, timeout, cb, user_data))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippAddString,
                 (ipp_t * ipp, ipp_tag_t group, ipp_tag_t value_tag, const char* name, const char* language,
                  const char* value),
                 (ipp, group, value_tag, name, language, value))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippAddStrings,
                 (ipp_t * ipp, ipp_tag_t group, ipp_tag_t value_tag, const char* name, int num_values,
                  const char* language, const char* const* values),
                 (ipp, group, value_tag, name, num_values, language, values))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippAddInteger,
                 (ipp_t * ipp, ipp_tag_t group, ipp_tag_t value_tag, const char* name, int value),
                 (ipp, group, value_tag, name, value))
RAWLET_ON_DEMAND(void, ippDelete, (ipp_t * ipp), (ipp))
RAWLET_ON_DEMAND(const char*, ippErrorString, (ipp_status_t error), (error))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippFindAttribute, (ipp_t * ipp, const char* name, ipp_tag_t value_tag),
                 (ipp, name, value_tag))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippFirstAttribute, (ipp_t * ipp), (ipp))
RAWLET_ON_DEMAND(int, ippGetBoolean, (ipp_attribute_t * attr, int element), (attr, element))
RAWLET_ON_DEMAND(int, ippGetCount, (ipp_attribute_t * attr), (attr))
RAWLET_ON_DEMAND(ipp_tag_t, ippGetGroupTag, (ipp_attribute_t * attr), (attr))
RAWLET_ON_DEMAND(int, ippGetInteger, (ipp_attribute_t * attr, int element), (attr, element))
RAWLET_ON_DEMAND(const char*, ippGetName, (ipp_attribute_t * attr), (attr))
RAWLET_ON_DEMAND(ipp_status_t, ippGetStatusCode, (ipp_t * ipp), (ipp))
RAWLET_ON_DEMAND(const char*, ippGetString, (ipp_attribute_t * attr, int element, const char** language),
                 (attr, element, language))
RAWLET_ON_DEMAND(ipp_t*, ippNewRequest, (ipp_op_t op), (op))
RAWLET_ON_DEMAND(ipp_attribute_t*, ippNextAttribute, (ipp_t * ipp), (ipp))
RAWLET_ON_DEMAND(int, ippSetVersion, (ipp_t * ipp, int major, int minor), (ipp, major, minor))
RAWLET_ON_DEMAND(int, ippPort, (void), ())
