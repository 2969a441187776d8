#pragma once

#include <netdb.h>

#include "backends/cups/cups_resources.h"

namespace rawlet::direct {

// The addresses of a lookup as libcups's own list, for httpConnect2, which then needs no
// lookup of its own (it has no deadline). Null when `found` holds no address libcups can use.
cups::AddressList HttpAddresses(const addrinfo* found);

} // namespace rawlet::direct
