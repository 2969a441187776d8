#include "serve_command.h"

#include <iostream>

#include <http_service.h>

#include "printer_text.h"

namespace rawlet::cli {

namespace {

bridge::AllowList AllowedOrigins(const Options& options)
{
    bridge::AllowList allowed;
    for (const std::string& entry : options.allow) {
        try {
            allowed.Add(bridge::ParseAllowEntry(entry));
        } catch (const bridge::BadAllowEntry& problem) {
            throw UsageError(std::string("--allow: ") + problem.what());
        }
    }
    std::vector<std::string> problems;
    bridge::LoadAllowConf(allowed, problems);
    for (const std::string& problem : problems)
        std::cerr << "rawlet: " << text::Shown(problem) << "\n";
    if (allowed.empty())
        throw UsageError("no origin is allowed: give --allow ORIGIN, or allow lines in bridge.conf");
    return allowed;
}

bridge::ListenAddress Address(const Options& options)
{
    if (options.listen.empty())
        return {};
    try {
        return bridge::ParseListenAddress(options.listen);
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

void SayListening(std::uint16_t port, const std::vector<std::string>& addresses, const char* how)
{
    std::cerr << "rawlet serve: listening on port " << port << " of";
    for (const std::string& address : addresses)
        std::cerr << " " << address;
    std::cerr << how << std::endl;
}

// Started by a connection to a socket systemd holds (rawlet.socket): it serves on that socket.
int ServeSystemdSockets(const Options& options, const std::vector<bridge::InheritedSocket>& sockets)
{
    if (!options.listen.empty())
        throw UsageError("--listen: systemd passed the sockets to listen on already");
    bridge::HttpService service(AllowedOrigins(options), sockets);
    std::vector<std::string> addresses;
    for (const bridge::InheritedSocket& socket : sockets)
        addresses.push_back(socket.endpoint.address().to_string());
    SayListening(sockets.front().endpoint.port(), addresses, ", sockets from systemd");
    service.Run();
    return 0;
}

} // namespace

int Serve(const Options& options)
{
    if (const auto sockets = bridge::SocketsFromSystemd(); !sockets.empty())
        return ServeSystemdSockets(options, sockets);
    const bridge::ListenAddress address = Address(options);
    bridge::HttpService service(AllowedOrigins(options), address);
    SayListening(address.port, address.addresses, "");
    service.Run();
    return 0;
}

} // namespace rawlet::cli
