#include "http_service.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <list>
#include <map>
#include <mutex>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>

#include <rawlet/codepage/table_code_page.h>

#include "connection.h"
#include "request_policy.h"

namespace rawlet::bridge {

namespace asio = boost::asio;
using asio::ip::tcp;

struct HttpService::State {
    State(AllowList allowedOrigins, std::uint16_t port, Limits bounds)
        : allowed(std::move(allowedOrigins)), codePage(codepage::TableCodePage::FromEnvironment()),
          policy(allowed, port, codePage), limits(bounds), workers(limits.workers)
    {}

    boost::system::error_code Listen(const std::string& address, std::uint16_t port);
    void Accept(tcp::acceptor& acceptor);
    void Take(tcp::socket socket);
    bool TakeSlotOf(const asio::ip::address& client);
    void FreeSlotOf(const asio::ip::address& client);

    // Before the context, whose handlers end the connections that use them.
    AllowList allowed;
    codepage::TableCodePage codePage; // the front door's, as System chooses it
    RequestPolicy policy;
    Limits limits;
    std::atomic<std::size_t> open{0};
    std::mutex clientsMutex; // a connection may end on a worker
    std::map<asio::ip::address, std::size_t> openFrom;
    WaitedJobs waited;
    IdleConnections idle;
    asio::io_context io;
    asio::thread_pool workers;
    std::list<tcp::acceptor> acceptors;
};

boost::system::error_code HttpService::State::Listen(const std::string& address, std::uint16_t port)
{
    const tcp::endpoint endpoint(asio::ip::make_address(address), port);
    tcp::acceptor acceptor(io);
    try {
        acceptor.open(endpoint.protocol());
        acceptor.set_option(asio::socket_base::reuse_address(true));
        if (endpoint.protocol() == tcp::v6())
            acceptor.set_option(asio::ip::v6_only(true));
        acceptor.bind(endpoint);
        acceptor.listen();
    } catch (const boost::system::system_error& error) {
        return error.code();
    }
    acceptors.push_back(std::move(acceptor));
    return {};
}

void HttpService::State::Accept(tcp::acceptor& acceptor)
{
    acceptor.async_accept([this, &acceptor](boost::system::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted)
            return;
        if (!error) {
            Take(std::move(socket));
            return Accept(acceptor);
        }
        // Out of descriptors, say: the error comes back at once, and accepting again at once
        // would take a whole CPU until a connection ends.
        std::cerr << "rawlet serve: cannot take a connection: " << error.message() << "\n";
        auto pause = std::make_shared<asio::steady_timer>(io, std::chrono::milliseconds(100));
        pause->async_wait([this, &acceptor, pause](boost::system::error_code) {
            if (acceptor.is_open())
                Accept(acceptor);
        });
    });
}

// Each connection holds a slot while it lives; past the limit a new one is closed at once,
// so that no page can exhaust the service, and past the limit of one client address too, so
// that one client cannot take every slot.
void HttpService::State::Take(tcp::socket socket)
{
    boost::system::error_code gone;
    const asio::ip::address client = socket.remote_endpoint(gone).address();
    if (gone)
        return;
    if (open.load() >= limits.connections) {
        std::cerr << "rawlet serve: refused a connection: " << limits.connections << " are open already\n";
        return;
    }
    if (!TakeSlotOf(client)) {
        std::cerr << "rawlet serve: refused a connection from " << client.to_string() << ": "
                  << limits.perClient << " are open from there already\n";
        return;
    }
    ++open;
    std::shared_ptr<void> slot(nullptr, [this, client](void*) {
        FreeSlotOf(client);
        --open;
    });
    std::make_shared<Connection>(std::move(socket), policy, workers, waited, idle, limits, std::move(slot))
        ->Start();
}

bool HttpService::State::TakeSlotOf(const asio::ip::address& client)
{
    std::lock_guard lock(clientsMutex);
    std::size_t& count = openFrom[client];
    if (count >= limits.perClient)
        return false;
    ++count;
    return true;
}

void HttpService::State::FreeSlotOf(const asio::ip::address& client)
{
    std::lock_guard lock(clientsMutex);
    if (--openFrom[client] == 0)
        openFrom.erase(client);
}

HttpService::HttpService(AllowList allowed, const ListenAddress& listen, Limits limits)
    : state_(std::make_unique<State>(std::move(allowed), listen.port, limits))
{
    for (const std::string& address : listen.addresses) {
        const boost::system::error_code error = state_->Listen(address, listen.port);
        const std::string problem =
            "cannot listen on " + address + " port " + std::to_string(listen.port) + ": " + error.message();
        // A machine without IPv6 (or IPv4) serves on the other; a port taken on either is a
        // failure, lest pages reach another program there.
        const bool familyMissing = error == boost::system::errc::address_family_not_supported ||
                                   error == boost::system::errc::address_not_available;
        if (error && (!familyMissing || listen.addresses.size() == 1))
            throw std::runtime_error(problem);
        if (error)
            std::cerr << "rawlet serve: " << problem << "\n";
    }
    if (state_->acceptors.empty())
        throw std::runtime_error("cannot listen on any loopback address");
}

HttpService::HttpService(AllowList allowed, const std::vector<InheritedSocket>& sockets, Limits limits)
    : state_(std::make_unique<State>(std::move(allowed), sockets.at(0).endpoint.port(), limits))
{
    for (const InheritedSocket& socket : sockets)
        state_->acceptors.emplace_back(state_->io, socket.endpoint.protocol(), socket.descriptor);
}

HttpService::~HttpService() = default;

void HttpService::Run()
{
    // A signal takes no new connection and lets those open end as they would, so that a job
    // under way is answered and logged, not printed and reported nowhere; the jobs waited for
    // are cancelled, as the command cancels them, lest a wait hold the bridge for a minute,
    // and the connections kept for a next request are closed.
    // The signals are then the system's again: a second one ends the program at once.
    asio::signal_set signals(state_->io, SIGINT, SIGTERM);
    signals.async_wait([this, &signals](boost::system::error_code error, int) {
        if (error)
            return;
        boost::system::error_code ignored;
        for (tcp::acceptor& acceptor : state_->acceptors)
            acceptor.close(ignored);
        state_->waited.CancelAll();
        state_->idle.CloseAll();
        signals.clear(ignored);
    });
    for (tcp::acceptor& acceptor : state_->acceptors)
        state_->Accept(acceptor);
    state_->io.run(); // until every connection has ended
    state_->workers.join();
}

} // namespace rawlet::bridge
