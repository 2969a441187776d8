#pragma once

// One device's Asio context, in which every wait has a deadline. Its handlers run only on the
// thread in a call on the device, so its I/O objects are used by that thread alone (they are
// not thread-safe); another thread, interrupting, only posts to it.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <boost/asio/buffer.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/system/error_code.hpp>

namespace rawlet::direct {

using Clock = std::chrono::steady_clock;

// "timed out after 10 s".
std::string TimedOut(std::chrono::seconds timeout);
// The system's text for an error, as a reason in a sentence: "connection refused".
std::string Reason(const boost::system::error_code& error);
// The same for a Win32 error number, as GetLastError() gives.
std::string Reason(unsigned long error);

class BoundedIo {
public:
    using Handler = std::function<void(const boost::system::error_code&, std::size_t)>;
    struct Result {
        boost::system::error_code error;
        std::size_t bytes = 0;
        // False when the operation had not ended as the wait gave up on it: a driver slow to
        // take its cancellation may still move any of its bytes.
        bool ended = true;
    };
    using WriteStart = std::function<void(boost::asio::const_buffer, const Handler&)>;
    using ReadStart = std::function<void(boost::asio::mutable_buffer, const Handler&)>;

    boost::asio::io_context& context() noexcept { return context_; }
    // Starts an operation by `start`, which hands the Handler to an Asio call, and runs the
    // device's handlers until the operation ends, `deadline` comes, or the device is
    // interrupted; in the last two cases `cancel` ends it, and its end is awaited: a cancelled
    // operation ends at once, with the bytes it had moved. The error is then timed_out, or
    // operation_aborted when interrupted. An interrupted device starts nothing.
    // `keep` lives as long as the operation's handler: what the operation uses lives on when
    // the wait has given up on it.
    Result Await(const std::function<void(const Handler&)>& start, Clock::time_point deadline,
                 const std::function<void()>& cancel, std::shared_ptr<const void> keep = nullptr);
    // Await for an operation that writes `bytes` or reads into `into`, by way of a copy the
    // operation owns: one a driver ends after the wait has given up on it moves live bytes,
    // and never into the caller's.
    // None starts while one the wait gave up on has not ended: it fails with already_started.
    Result Write(std::string_view bytes, const WriteStart& start, Clock::time_point deadline,
                 const std::function<void()>& cancel);
    Result Read(char* into, std::size_t size, const ReadStart& start, Clock::time_point deadline,
                const std::function<void()>& cancel);
    // Waits until `deadline`; false when interrupted first.
    bool Pause(Clock::time_point deadline);
    // From any thread: every wait ends at once and none starts again; `cancel` runs on the
    // thread in a call on the device, or as the next one starts.
    void Interrupt(std::function<void()> cancel) noexcept;
    bool interrupted() const noexcept { return interrupted_; }

private:
    bool Unended();

    boost::asio::io_context context_{1};
    // The end of the last operation the wait gave up on, filled by its handler.
    std::shared_ptr<std::optional<Result>> unended_;
    std::atomic<bool> interrupted_ = false;
};

// Why a write whose piece ended with `written` failed, its reason after `where` ("COM7: "),
// with the text of an error other than a stall or an interruption from `describe`: a stall
// when the device took nothing for `timeout`. Nothing when it did not fail.
struct WriteFailure {
    std::string reason;
    bool stalled = false;
};
std::optional<WriteFailure>
FailureOfWrite(const BoundedIo::Result& written, const std::string& where, std::chrono::seconds timeout,
               std::string (*describe)(const boost::system::error_code&) = Reason);

} // namespace rawlet::direct
