#pragma once

// Owners for the libcups objects a printer handle holds.

#include <memory>

#include <cups/cups.h>

namespace rawlet::cups {

struct DestDeleter {
    void operator()(cups_dest_t* dest) const noexcept { cupsFreeDests(1, dest); }
};
struct HttpDeleter {
    void operator()(http_t* http) const noexcept { httpClose(http); }
};
struct DestInfoDeleter {
    void operator()(cups_dinfo_t* info) const noexcept { cupsFreeDestInfo(info); }
};
struct AddressListDeleter {
    void operator()(http_addrlist_t* list) const noexcept { httpAddrFreeList(list); }
};
struct IppDeleter {
    void operator()(ipp_t* ipp) const noexcept { ippDelete(ipp); }
};

using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;
using Http = std::unique_ptr<http_t, HttpDeleter>;
using DestInfo = std::unique_ptr<cups_dinfo_t, DestInfoDeleter>;
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;
using AddressList = std::unique_ptr<http_addrlist_t, AddressListDeleter>;

} // namespace rawlet::cups
