#include "interruption_report.h"

#include <memory>
#include <thread>

#include <rawlet/error.h>

#include "printer_text.h"

namespace rawlet::cli {

void InterruptionReport::Enter()
{
    std::lock_guard lock(mutex_);
    ++callsOnThePrinter_;
}

void InterruptionReport::Leave()
{
    std::lock_guard lock(mutex_);
    --callsOnThePrinter_;
    changed_.notify_all();
}

void InterruptionReport::Report(const std::string& why)
{
    std::lock_guard lock(mutex_);
    reason_ = why;
    changed_.notify_all();
}

std::string InterruptionReport::Abandon(const std::function<void()>& cancel)
{
    struct Done {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
    };
    const auto deadline = Clock::now() + kAbandonBound;
    // Shared with the helper, which may outlive this call.
    const auto state = std::make_shared<Done>();
    std::thread([cancel, state] {
        cancel();
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->finished.notify_all();
    }).detach();
    {
        std::unique_lock lock(state->mutex);
        state->finished.wait_until(lock, deadline, [&state] { return state->done; });
    }
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [this] { return reason_.has_value() || callsOnThePrinter_ == 0; });
    return reason_ && !reason_->empty() ? text::Shown(*reason_) : "interrupted";
}

std::string ReasonOf(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Error& error) {
        return error.reason();
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}

} // namespace rawlet::cli
