#pragma once

#include <memory>
#include <optional>

#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>

#include "idle_connections.h"
#include "request_policy.h"
#include "routes.h"
#include "service_limits.h"

namespace rawlet::bridge {

// One connection, and its requests one after another, each from its first byte to the
// answer: the head is judged before the body is read, the whole bounded body is read before
// the job starts (so an upload cut short prints nothing), and the work runs on a worker. After
// an answer, the connection waits for the client's next request while the client keeps it,
// as browsers do, up to the idle limit; it holds `slot` while it lives, so that the service
// can count it.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(boost::asio::ip::tcp::socket socket, const RequestPolicy& policy,
               boost::asio::thread_pool& workers, WaitedJobs& waited, IdleConnections& idle,
               const Limits& limits, std::shared_ptr<void> slot);

    void Start();

private:
    using Parser = boost::beast::http::request_parser<boost::beast::http::string_body>;

    void ReadRequest(bool startsDeadline);
    void OnHead(boost::beast::error_code error);
    void ReadBody();
    void OnBody(boost::beast::error_code error);
    void Work();
    void Refuse(int status, std::string reason);
    void Answer(const bridge::Answer& answer);
    bool KeepsConnection() const;
    void AwaitNextRequest();
    void AwaitRequest(bool startsDeadline);
    void Finish();
    void Drain();
    void Log(const std::string& what) const;
    void LogFailedRead(boost::beast::error_code error, const char* part) const;

    boost::beast::tcp_stream stream_;
    boost::beast::flat_buffer buffer_;
    std::optional<Parser> parser_; // one for each request
    boost::beast::http::response<boost::beast::http::string_body> response_;
    std::array<char, 4096> drained_{};
    const RequestPolicy& policy_;
    boost::asio::thread_pool& workers_;
    WaitedJobs& waited_;
    IdleConnections& idleConnections_;
    std::optional<IdleConnections::Entry> idle_; // while it waits for a request's first byte
    const Limits& limits_;
    std::shared_ptr<void> slot_;
    Decision decision_;
};

} // namespace rawlet::bridge
