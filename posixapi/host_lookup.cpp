#include "host_lookup.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace rawlet::posixapi {

namespace {

constexpr auto kInterruptionCheck = std::chrono::milliseconds(20);

// What the lookup thread hands over; whoever leaves last frees it.
struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int result = 0;
    Addresses addresses;
};

int Resolve(const std::string& host, const std::string& port, int flags, Addresses& addresses)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    addresses.reset(result == 0 ? found : nullptr);
    return result;
}

} // namespace

Addresses LookUpHost(const std::string& host, int port, Clock::time_point deadline,
                     const Interrupter* interrupter, std::string& failure)
{
    const std::string service = std::to_string(port);
    Addresses addresses;
    if (Resolve(host, service, AI_NUMERICHOST, addresses) == 0)
        return addresses;

    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, service] {
        Addresses found;
        const int result = Resolve(host, service, 0, found);
        std::lock_guard lock(lookup->mutex);
        lookup->result = result;
        lookup->addresses = std::move(found);
        lookup->done = true;
        lookup->finished.notify_all();
    }).detach();

    std::unique_lock lock(lookup->mutex);
    while (!lookup->done) {
        if (interrupter && interrupter->interrupted()) {
            failure = "interrupted";
            return nullptr;
        }
        if (Clock::now() >= deadline) {
            failure = "cannot find " + host + ": the name server did not answer in time";
            return nullptr;
        }
        lookup->finished.wait_until(lock, std::min(deadline, Clock::now() + kInterruptionCheck));
    }
    if (lookup->result != 0)
        failure = "cannot find " + host + ": " + ::gai_strerror(lookup->result);
    return std::move(lookup->addresses);
}

} // namespace rawlet::posixapi
