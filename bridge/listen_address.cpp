#include "listen_address.h"

#include <charconv>

namespace rawlet::bridge {

ListenAddress ParseListenAddress(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        throw std::invalid_argument("--listen takes HOST:PORT, not '" + std::string(text) + "'");
    const std::string_view host = text.substr(0, colon), port = text.substr(colon + 1);

    ListenAddress address;
    unsigned value = 0;
    const auto [end, problem] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (problem != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
        throw std::invalid_argument("--listen takes a port from 1 to 65535, not '" + std::string(port) + "'");
    address.port = static_cast<std::uint16_t>(value);

    if (host == "127.0.0.1")
        address.addresses = {"127.0.0.1"};
    else if (host == "[::1]")
        address.addresses = {"::1"};
    else if (host != "localhost")
        throw std::invalid_argument(
            "the bridge listens on loopback only (127.0.0.1, [::1] or localhost), not '" + std::string(host) +
            "'");
    return address;
}

} // namespace rawlet::bridge
