// A printer's name looked up with a deadline. The system's lookup cannot be cancelled, so it
// runs on a thread of its own, which the caller leaves at the deadline or when interrupted;
// an address written as one needs no lookup.
#include "win32_transports.h"

#include <condition_variable>
#include <memory>
#include <thread>

namespace rawlet::direct {

namespace {

using Tcp = boost::asio::ip::tcp;

constexpr auto kInterruptionCheck = std::chrono::milliseconds(20);

// What the lookup thread hands over; whoever leaves last frees it.
struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    boost::system::error_code error;
    std::vector<Tcp::endpoint> endpoints;
};

void Resolve(Lookup& lookup, const std::string& host, int port)
{
    boost::asio::io_context own;
    Tcp::resolver resolver(own);
    boost::system::error_code error;
    std::vector<Tcp::endpoint> endpoints;
    for (const auto& found : resolver.resolve(host, std::to_string(port), error))
        endpoints.push_back(found.endpoint());
    std::lock_guard lock(lookup.mutex);
    lookup.error = error;
    lookup.endpoints = std::move(endpoints);
    lookup.done = true;
    lookup.finished.notify_all();
}

} // namespace

std::vector<Tcp::endpoint> LookUpHost(const std::string& host, int port, Clock::time_point deadline,
                                      const BoundedIo& io, std::string& failure)
{
    boost::system::error_code notAnAddress;
    const auto address = boost::asio::ip::make_address(host, notAnAddress);
    if (!notAnAddress)
        return {Tcp::endpoint(address, static_cast<unsigned short>(port))};

    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] { Resolve(*lookup, host, port); }).detach();
    std::unique_lock lock(lookup->mutex);
    while (!lookup->done) {
        if (io.interrupted()) {
            failure = "interrupted";
            return {};
        }
        if (Clock::now() >= deadline) {
            failure = "cannot find " + host + ": the name server did not answer in time";
            return {};
        }
        lookup->finished.wait_until(lock, std::min(deadline, Clock::now() + kInterruptionCheck));
    }
    if (lookup->error || lookup->endpoints.empty())
        failure = "cannot find " + host + ": " + (lookup->error ? Reason(lookup->error) : "no address");
    return std::move(lookup->endpoints);
}

} // namespace rawlet::direct
