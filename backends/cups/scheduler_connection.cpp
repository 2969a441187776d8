#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

// libcups calls this once a wait has lasted the whole timeout; 0 ends the wait in an error.
int GiveUp(http_t*, void*) { return 0; }

} // namespace

ipp::Http ConnectWithDeadline()
{
    ipp::Http http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kSchedulerDeadlineMs, nullptr));
    if (http)
        httpSetTimeout(http.get(), kSchedulerDeadlineMs / 1000.0, GiveUp, nullptr);
    return http;
}

} // namespace rawlet::cups
