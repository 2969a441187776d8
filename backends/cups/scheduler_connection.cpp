#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

// libcups calls this once a wait has lasted the whole timeout; 0 ends the wait in an error.
int GiveUp(http_t*, void*) { return 0; }

} // namespace

ipp::Http ConnectWithDeadline(int deadlineMs, int* cancel)
{
    ipp::Http http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, deadlineMs, cancel));
    if (http)
        httpSetTimeout(http.get(), deadlineMs / 1000.0, GiveUp, nullptr);
    return http;
}

} // namespace rawlet::cups
