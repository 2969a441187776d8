#include "shared_ipp.h"

#include <cstdlib>
#include <cstring>

namespace rawlet::ipp {

// httpAddrFreeList frees the list node by node with free(), so each node comes from calloc.
AddressList HttpAddresses(const addrinfo* found)
{
    AddressList list;
    http_addrlist_t** tail = nullptr;
    for (; found; found = found->ai_next) {
        if (found->ai_addrlen > sizeof(http_addr_t))
            continue;
        auto* node = static_cast<http_addrlist_t*>(std::calloc(1, sizeof(http_addrlist_t)));
        if (!node)
            break;
        std::memcpy(&node->addr, found->ai_addr, found->ai_addrlen);
        if (tail)
            *tail = node;
        else
            list.reset(node);
        tail = &node->next;
    }
    return list;
}

} // namespace rawlet::ipp
