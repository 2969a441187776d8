// A printer's name looked up with a deadline. The system's lookup cannot be cancelled, so it
// runs on a thread of its own, which the caller leaves at the deadline or when interrupted;
// an address written as one needs no lookup. The thread holds the module its code is in, so
// that a host unloading the control meanwhile does not pull the code from under it.
#include "win32_transports.h"

#include <windows.h>

#include <condition_variable>
#include <memory>

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
    boost::system::error_code error;
    std::vector<Tcp::endpoint> endpoints;
    try {
        boost::asio::io_context own;
        Tcp::resolver resolver(own);
        for (const auto& found : resolver.resolve(host, std::to_string(port), error))
            endpoints.push_back(found.endpoint());
    } catch (...) { // out of memory
        error = boost::asio::error::no_memory;
        endpoints.clear();
    }
    std::lock_guard lock(lookup.mutex);
    lookup.error = error;
    lookup.endpoints = std::move(endpoints);
    lookup.done = true;
    lookup.finished.notify_all();
}

struct LookupThread {
    std::shared_ptr<Lookup> lookup;
    std::string host;
    int port = 0;
    HMODULE module = nullptr;
};

DWORD WINAPI ResolveAndLeave(void* parameter)
{
    std::unique_ptr<LookupThread> own(static_cast<LookupThread*>(parameter));
    Resolve(*own->lookup, own->host, own->port);
    const HMODULE module = own->module;
    own.reset(); // its destructors are in the module too
    ::FreeLibraryAndExitThread(module, 0);
}

// Starts the lookup's thread; false, with the reason, when there is none.
bool StartLookup(const std::shared_ptr<Lookup>& lookup, const std::string& host, int port,
                 std::string& failure)
{
    auto started = std::make_unique<LookupThread>(LookupThread{lookup, host, port, nullptr});
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR>(&ResolveAndLeave), &started->module)) {
        failure = "cannot look up " + host + ": " + Reason(::GetLastError());
        return false;
    }
    const HANDLE thread = ::CreateThread(nullptr, 0, ResolveAndLeave, started.get(), 0, nullptr);
    if (!thread) {
        failure = "cannot look up " + host + ": " + Reason(::GetLastError());
        ::FreeLibrary(started->module);
        return false;
    }
    started.release();
    ::CloseHandle(thread);
    return true;
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
    if (!StartLookup(lookup, host, port, failure))
        return {};
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
