#pragma once

#include <netdb.h>

#include <memory>
#include <string>

#include "interrupter.h"

namespace rawlet::posixapi {

struct AddressesDeleter {
    void operator()(addrinfo* list) const noexcept { ::freeaddrinfo(list); }
};
using Addresses = std::unique_ptr<addrinfo, AddressesDeleter>;

// The stream addresses of `host`, looked up within `deadline`: the system's resolver has no
// time limit of its own, so a name server that does not answer is left to finish on a
// thread of its own. A numeric address needs no lookup. Null on failure, with the reason.
Addresses LookUpHost(const std::string& host, int port, Clock::time_point deadline,
                     const Interrupter* interrupter, std::string& failure);

} // namespace rawlet::posixapi
