#pragma once

#include <memory>

#include "allow_list.h"
#include "listen_address.h"
#include "service_limits.h"
#include "systemd_sockets.h"

namespace rawlet::bridge {

// The bridge: an HTTP service on loopback that prints for the pages of the origins the user
// allowed, and refuses everything else, saying why on standard error.
class HttpService {
public:
    // Listens at once; throws std::runtime_error when an address cannot be taken.
    HttpService(AllowList allowed, const ListenAddress& listen, Limits limits = {});
    // Listens on sockets the service manager opened (at least one).
    HttpService(AllowList allowed, const std::vector<InheritedSocket>& sockets, Limits limits = {});
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Serves until SIGINT or SIGTERM, then waits for the jobs under way.
    void Run();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace rawlet::bridge
