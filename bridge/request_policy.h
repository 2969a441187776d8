#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "allow_list.h"

namespace rawlet::bridge {

// What the bridge reads of a request before its body: every byte of it comes from a page, or
// from whatever program sent it, and is untrusted.
struct RequestHead {
    std::string_view method;
    std::string_view target;
    std::optional<std::string_view> host;
    std::optional<std::string_view> origin;
    std::optional<std::string_view> contentType;
    std::optional<std::string_view> preflightMethod; // Access-Control-Request-Method
    bool asksPrivateNetwork = false;                 // Access-Control-Request-Private-Network: true
};

enum class Route { preflight, printers, status, job };

// A job's query: ?title=...&utf8&translate&wait (a flag is 1, true or empty; 0 or false).
struct JobQuery {
    std::string title;
    bool utf8 = false;
    bool translate = false;
    bool wait = false;
};

// What becomes of a request: refused with an HTTP status and the reason, or taken to a route.
struct Decision {
    int refusal = 0; // the HTTP status it is refused with; 0 when it is taken
    std::string reason;
    // The origin's entry when the origin is allowed, refused or not: its answer carries
    // the CORS headers that let the page read it. Nothing for any other caller.
    const AllowEntry* entry = nullptr;
    Route route = Route::printers;
    std::string printer;
    JobQuery job;
    bool allowPrivateNetwork = false; // a preflight that asked for it

    bool refused() const noexcept { return refusal != 0; }
};

// Which requests the bridge takes: only from an allowed origin, addressed to the bridge by
// a loopback name and its port (so a rebound DNS name is refused), to a printer named in
// the origin's entry and never a device, with a job's bytes sent as
// application/octet-stream (a plain form post is refused).
class RequestPolicy {
public:
    // `codePage` is the one the front door matches printer names in.
    RequestPolicy(const AllowList& allowed, std::uint16_t port, const platform::CodePage& codePage)
        : allowed_(allowed), port_(port), codePage_(codePage)
    {}

    Decision Decide(const RequestHead& head) const;

private:
    bool HostIsOurs(std::string_view host) const;
    void Choose(const RequestHead& head, Decision& decision) const;
    bool ReadPrinter(std::string_view path, std::string_view suffix, Decision& decision) const;

    const AllowList& allowed_;
    std::uint16_t port_;
    const platform::CodePage& codePage_;
};

} // namespace rawlet::bridge
