#include "bounded_io.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

namespace rawlet::direct {

namespace {

// How long a cancelled operation may take to end. The system ends it at once; this bounds
// the wait should it not, as when its I/O object was closed under it.
constexpr auto kLongestCancellation = std::chrono::seconds(1);

} // namespace

std::string TimedOut(std::chrono::seconds timeout)
{
    return "timed out after " + std::to_string(timeout.count()) + " s";
}

// The system's sentence, as a reason inside ours: no capital, no full stop, no line end.
std::string Reason(const boost::system::error_code& error)
{
    std::string text = error.message();
    while (!text.empty() &&
           (text.back() == '.' || text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string Reason(unsigned long error)
{
    return Reason(boost::system::error_code(static_cast<int>(error), boost::system::system_category()));
}

std::optional<WriteFailure> FailureOfWrite(const BoundedIo::Result& written, const std::string& where,
                                           std::chrono::seconds timeout,
                                           std::string (*describe)(const boost::system::error_code&))
{
    if (written.error == boost::asio::error::timed_out)
        return WriteFailure{where + TimedOut(timeout) + " with the printer taking no data", true};
    if (written.error == boost::asio::error::operation_aborted)
        return WriteFailure{where + "interrupted", false};
    if (written.error)
        return WriteFailure{where + describe(written.error), false};
    return std::nullopt;
}

BoundedIo::Result BoundedIo::Await(const std::function<void(const Handler&)>& start,
                                   Clock::time_point deadline, const std::function<void()>& cancel,
                                   std::shared_ptr<const void> keep)
{
    context_.restart(); // a context that ran out of work stays stopped until then
    if (interrupted_) {
        context_.poll(); // what Interrupt() posted: the cancellation
        return {boost::asio::error::operation_aborted, 0};
    }
    // Shared with the handler, which an operation that outlives the wait still calls.
    auto result = std::make_shared<std::optional<Result>>();
    start([result, keep](const boost::system::error_code& error, std::size_t bytes) {
        *result = Result{error, bytes};
    });
    while (!*result && !interrupted_ && Clock::now() < deadline)
        context_.run_one_until(deadline);
    if (*result)
        return **result;
    const bool timedOut = !interrupted_;
    cancel();
    const auto cancelled = Clock::now() + kLongestCancellation;
    while (!*result && Clock::now() < cancelled && context_.run_one_until(cancelled) > 0) {
    }
    if (!*result)
        unended_ = result;
    Result ended = result->value_or(Result{boost::asio::error::operation_aborted, 0, false});
    if (ended.error == boost::asio::error::operation_aborted && timedOut)
        ended.error = boost::asio::error::timed_out;
    return ended;
}

// Reads and writes of a device are served in order: one started behind an operation given up
// on would have the bytes it was meant for go to that one, or its own go after that one's.
bool BoundedIo::Unended()
{
    if (!unended_ || interrupted_) // an interrupted device starts nothing anyway
        return false;
    context_.restart();
    context_.poll();
    if (!*unended_)
        return true;
    unended_.reset();
    return false;
}

BoundedIo::Result BoundedIo::Write(std::string_view bytes, const WriteStart& start,
                                   Clock::time_point deadline, const std::function<void()>& cancel)
{
    if (Unended())
        return {boost::asio::error::already_started, 0};
    auto copy = std::make_shared<const std::vector<char>>(bytes.begin(), bytes.end());
    return Await([&](const Handler& handler) { start(boost::asio::buffer(*copy), handler); }, deadline,
                 cancel, copy);
}

// What an operation that has not ended reads may arrive at any time: it is never copied.
BoundedIo::Result BoundedIo::Read(char* into, std::size_t size, const ReadStart& start,
                                  Clock::time_point deadline, const std::function<void()>& cancel)
{
    if (Unended())
        return {boost::asio::error::already_started, 0};
    auto staging = std::make_shared<std::vector<char>>(size);
    const Result read = Await([&](const Handler& handler) { start(boost::asio::buffer(*staging), handler); },
                              deadline, cancel, staging);
    if (read.ended)
        std::copy_n(staging->data(), std::min(read.bytes, size), into);
    return read;
}

bool BoundedIo::Pause(Clock::time_point deadline)
{
    boost::asio::steady_timer timer(context_, deadline);
    // The timer ends the wait: Await's own deadline would take its end for a timeout.
    const Result result = Await(
        [&timer](const Handler& handler) { timer.async_wait([handler](auto error) { handler(error, 0); }); },
        Clock::time_point::max(), [&timer] { timer.cancel(); });
    return !result.error;
}

void BoundedIo::Interrupt(std::function<void()> cancel) noexcept
{
    interrupted_ = true;
    try {
        boost::asio::post(context_, std::move(cancel));
    } catch (...) { // out of memory: the flag alone ends the next wait
    }
}

} // namespace rawlet::direct
