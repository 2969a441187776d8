#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rawlet::bridge {

// The bridge's port unless --listen says otherwise: in no common service's way, and not a
// printer's (AppSocket is 9100).
inline constexpr std::uint16_t kDefaultPort = 9187;

// Where the bridge listens: loopback addresses only, on one port.
struct ListenAddress {
    std::vector<std::string> addresses{"127.0.0.1", "::1"};
    std::uint16_t port = kDefaultPort;
};

// --listen HOST:PORT, where HOST is 127.0.0.1, [::1] or localhost (both); any other address
// would take jobs from the network. Throws std::invalid_argument saying why.
ListenAddress ParseListenAddress(std::string_view text);

} // namespace rawlet::bridge
