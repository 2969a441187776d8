#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace rawlet::bridge {

// What one page, or many, may take of the bridge.
struct Limits {
    std::size_t connections = 32;         // open at once; more are closed as they come
    std::size_t perClient = 24;           // of those, from one address: the rest wait for others
    std::uint64_t body = 4 * 1024 * 1024; // a job's bytes: a receipt or label is far smaller
    // Reading the whole request, from the connection's start: a client that trickles its
    // bytes is cut off then, and nothing prints.
    std::chrono::seconds request{5};
    std::chrono::seconds answer{10}; // writing the answer to a client that does not read
    // Waiting for the next request on a connection the client keeps: then it is closed.
    std::chrono::seconds idle{5};
    std::size_t workers = 4; // requests run on the system's printers at once
};

} // namespace rawlet::bridge
