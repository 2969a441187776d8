#include "connection.h"

#include <iostream>

#include <boost/asio/execution/outstanding_work.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/prefer.hpp>
#include <boost/asio/write.hpp>

#include "printer_text.h"

namespace rawlet::bridge {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
constexpr std::chrono::seconds kDrainLimit{2};
constexpr std::size_t kHeaderLimit = 8 * 1024;
// What is read but not yet parsed: a head, or a chunk's header line, which the parser takes
// only whole. Bounded, lest a chunk extension that never ends fill the memory.
constexpr std::size_t kUnparsedLimit = 64 * 1024;

std::optional<std::string_view> Field(const http::fields& fields, std::string_view name)
{
    const auto field = fields.find(name);
    if (field == fields.end())
        return std::nullopt;
    return std::string_view(field->value().data(), field->value().size());
}

// A request the parser could not make sense of, as opposed to one cut short or too slow.
bool Malformed(beast::error_code error)
{
    return error.category() == http::make_error_code(http::error::bad_target).category() &&
           error != http::error::end_of_stream && error != http::error::partial_message;
}

std::string_view View(beast::string_view text) { return {text.data(), text.size()}; }

// A body coded otherwise than chunked alone, whose length and bytes the bridge cannot tell:
// its bytes, taken as no body or as the body's, would be printed coded, or read as the next
// request on a kept connection.
bool CodedBody(const http::request_parser<http::string_body>::value_type& request)
{
    const auto coding = Field(request, "Transfer-Encoding");
    if (!coding)
        return false;
    const http::token_list codings{*coding};
    const auto first = codings.begin();
    return first == codings.end() || !beast::iequals(*first, "chunked") || std::next(first) != codings.end();
}

RequestHead HeadOf(const http::request_parser<http::string_body>::value_type& request)
{
    RequestHead head;
    head.method = View(request.method_string());
    head.target = View(request.target());
    head.host = Field(request, "Host");
    head.origin = Field(request, "Origin");
    head.contentType = Field(request, "Content-Type");
    head.preflightMethod = Field(request, "Access-Control-Request-Method");
    head.asksPrivateNetwork = Field(request, "Access-Control-Request-Private-Network") == "true";
    return head;
}

} // namespace

Connection::Connection(asio::ip::tcp::socket socket, const RequestPolicy& policy, asio::thread_pool& workers,
                       WaitedJobs& waited, IdleConnections& idle, const Limits& limits,
                       std::shared_ptr<void> slot)
    : stream_(std::move(socket)), buffer_(kUnparsedLimit), policy_(policy), workers_(workers),
      waited_(waited), idleConnections_(idle), limits_(limits), slot_(std::move(slot))
{}

// The first request's deadline runs from the connection's start.
void Connection::Start()
{
    parser_.emplace(); // for the log, should the request never come
    stream_.expires_after(limits_.request);
    AwaitRequest(false);
}

// The deadline covers the whole request, head and body, from the connection's start or the
// next request's first byte: a client that trickles is cut off.
void Connection::ReadRequest(bool startsDeadline)
{
    parser_.emplace();
    // A length over the limit is refused once the head says whose request it is (below),
    // so that an allowed page can read why.
    parser_->header_limit(kHeaderLimit);
    parser_->body_limit(boost::none);
    if (startsDeadline)
        stream_.expires_after(limits_.request);
    http::async_read_header(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnHead(error); });
}

void Connection::OnHead(beast::error_code error)
{
    if (error == http::error::header_limit)
        return Refuse(431, "the request's head is over " + std::to_string(kHeaderLimit) + " bytes");
    if (Malformed(error))
        return Refuse(400, "the request is not HTTP/1.1: " + error.message());
    if (error) {
        LogFailedRead(error, "head");
        return Finish();
    }
    if (CodedBody(parser_->get()))
        return Refuse(400, "a body is sent as it is, or chunked, and in no other Transfer-Encoding");
    decision_ = policy_.Decide(HeadOf(parser_->get()));
    if (decision_.refused())
        return Refuse(decision_.refusal, decision_.reason);
    if (decision_.route == Route::preflight)
        return Answer({204, ""});
    if (decision_.route != Route::job)
        return Work();
    const auto length = parser_->content_length();
    if (length && *length > limits_.body)
        return Refuse(413, "a job of " + std::to_string(*length) + " bytes is over the limit of " +
                               std::to_string(limits_.body));
    if (parser_->get()[http::field::expect] == "100-continue")
        return asio::async_write(stream_, asio::buffer(kContinue),
                                 [self = shared_from_this()](beast::error_code written, std::size_t) {
                                     if (written)
                                         return self->Finish();
                                     self->ReadBody();
                                 });
    ReadBody();
}

void Connection::ReadBody()
{
    parser_->body_limit(limits_.body); // for a chunked body, whose length the head does not say
    http::async_read(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnBody(error); });
}

// Nothing starts before every byte of the body is in: a body cut short or too slow prints
// nothing.
void Connection::OnBody(beast::error_code error)
{
    if (error == http::error::body_limit)
        return Refuse(413, "a job over the limit of " + std::to_string(limits_.body) + " bytes");
    if (error == http::error::buffer_overflow)
        return Refuse(400, "a chunk's header is over " + std::to_string(kUnparsedLimit) + " bytes");
    if (error) {
        LogFailedRead(error, "body");
        return Finish();
    }
    Work();
}

// The system's printers are asked, and jobs printed, on a worker: a slow printer holds up
// no other request.
void Connection::Work()
{
    stream_.expires_never();
    // Work the service waits for: it runs on until the answer is written, signal or not.
    auto tracked = asio::prefer(stream_.get_executor(), asio::execution::outstanding_work.tracked);
    asio::post(workers_, [self = shared_from_this(), tracked] {
        bridge::Answer answer;
        try {
            answer = Serve(self->decision_, self->parser_->get().body(), self->waited_);
        } catch (const std::exception& error) {
            answer = {500, "{\"refused\": " + text::JsonString(error.what()) + "}"};
        }
        asio::post(tracked, [self, answer = std::move(answer)] {
            if (self->decision_.route == Route::job)
                self->Log("job for " + self->decision_.printer + ": " + answer.json);
            self->Answer(answer);
        });
    });
}

void Connection::Refuse(int status, std::string reason)
{
    Log("refused (" + std::to_string(status) + "): " + reason);
    decision_.reason = std::move(reason);
    decision_.refusal = status;
    Answer(Refusal(decision_));
}

// CORS headers for an allowed origin only, naming it exactly; `Vary: Origin` for every
// answer, whose headers depend on the origin.
void Connection::Answer(const bridge::Answer& answer)
{
    response_.result(static_cast<http::status>(answer.status));
    response_.version(11);
    response_.set(http::field::vary, "Origin");
    response_.set(http::field::cache_control, "no-store");
    if (const AllowEntry* entry = decision_.entry) {
        response_.set(http::field::access_control_allow_origin, entry->origin);
        if (decision_.route == Route::preflight && !decision_.refused()) {
            response_.set(http::field::access_control_allow_methods, "GET, POST");
            response_.set(http::field::access_control_allow_headers, "Content-Type");
            response_.set(http::field::access_control_max_age, "600");
            if (decision_.allowPrivateNetwork)
                response_.set("Access-Control-Allow-Private-Network", "true");
        }
    }
    if (!answer.json.empty())
        response_.set(http::field::content_type, "application/json");
    response_.body() = answer.json;
    response_.keep_alive(KeepsConnection());
    if (response_.keep_alive())
        response_.set("Keep-Alive", "timeout=" + std::to_string(limits_.idle.count()));
    response_.prepare_payload();
    stream_.expires_after(limits_.answer);
    http::async_write(stream_, response_, [self = shared_from_this()](beast::error_code error, std::size_t) {
        if (!error && self->response_.keep_alive() && self->idleConnections_.Keeping())
            return self->AwaitNextRequest();
        self->Finish();
    });
}

// Kept when the client keeps it (HTTP/1.1's default) and the whole request was read: after a
// refusal that left a body unread, or a body of unknown coding, the next request's start is
// unknown.
bool Connection::KeepsConnection() const
{
    return parser_->is_done() && !CodedBody(parser_->get()) && parser_->get().keep_alive() &&
           idleConnections_.Keeping();
}

// The next request's first byte is waited for up to the idle limit, then the request's own
// deadline runs; bytes the client sent already, behind the last request, start it at once.
void Connection::AwaitNextRequest()
{
    response_ = {};
    decision_ = {};
    if (buffer_.size() > 0)
        return ReadRequest(true);
    stream_.expires_after(limits_.idle);
    AwaitRequest(true);
}

// Until a request's first byte comes, the connection is idle, a new one as a kept one (browsers
// open connections ahead of their requests): a stopping service closes it, lest it print a
// request that came after the signal, and takes none once it stops.
void Connection::AwaitRequest(bool startsDeadline)
{
    if (!idleConnections_.Keeping())
        return;
    idle_.emplace(idleConnections_, stream_);
    stream_.async_read_some(buffer_.prepare(kHeaderLimit), [self = shared_from_this(), startsDeadline](
                                                               beast::error_code error, std::size_t read) {
        self->idle_.reset();
        // Closed by the client, the deadline or the service's stop; only a
        // connection that never sent a request is news.
        if (error) {
            if (!startsDeadline && error != asio::error::operation_aborted)
                self->LogFailedRead(error, "head");
            return;
        }
        self->buffer_.commit(read);
        self->ReadRequest(startsDeadline);
    });
}

// Closes the sending side, then reads what the client still sends for a moment, so that the
// answer is not lost to a reset when the client sent more than was read.
void Connection::Finish()
{
    beast::error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.expires_after(kDrainLimit);
    Drain();
}

void Connection::Drain()
{
    stream_.async_read_some(asio::buffer(drained_),
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                                if (!error)
                                    self->Drain();
                            });
}

// One line, on standard error; what the request said is quoted as JSON, so that it cannot
// forge a line of its own.
void Connection::Log(const std::string& what) const
{
    const auto& request = parser_->get();
    const auto origin = Field(request, "Origin");
    std::cerr << "rawlet serve: " << View(request.method_string()) << " "
              << text::JsonString(View(request.target())) << " from "
              << (origin ? text::JsonString(*origin) : "no origin") << ": " << text::OneLine(what) << "\n";
}

void Connection::LogFailedRead(beast::error_code error, const char* part) const
{
    if (error == beast::error::timeout)
        Log(std::string("cut off: the request's ") + part + " was not in within " +
            std::to_string(limits_.request.count()) + " s; nothing printed");
    else if (error != http::error::end_of_stream)
        Log(std::string("the request's ") + part + " could not be read: " + error.message());
}

} // namespace rawlet::bridge
