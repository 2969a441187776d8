#include "transports.h"

#include <algorithm>

namespace rawlet::direct {

std::string Grouped(std::uint64_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

bool Device::FailWrite(std::string reason, bool stalled)
{
    stalled_ = stalled;
    Abort();
    return Fail(std::move(reason));
}

void Device::StartCounting() noexcept
{
    handed_ = 0;
    underWay_ = 0;
    stalled_ = false;
    std::lock_guard lock(takenMutex_);
    noted_ = false;
    taken_.clear();
}

std::string Device::taken() const
{
    std::lock_guard lock(takenMutex_);
    return taken_;
}

bool Device::tookNone() const
{
    std::lock_guard lock(takenMutex_);
    return noted_ ? tookNone_ : handed_ == 0;
}

void Device::NoteTaken(const Had& had) noexcept
{
    if (!had.taken)
        return NoteTaken(had.sent == 0 ? Taken(had.had, 0, 0)
                                       : "the printer may have taken any of the bytes sent",
                         had.sent == 0);
    const std::uint64_t taken = std::min(*had.taken, had.sent);
    NoteTaken(Taken(had.had, taken, had.sent), taken == 0);
}

void Device::NoteTaken(std::string taken, bool none) noexcept
{
    std::lock_guard lock(takenMutex_);
    if (noted_)
        return;
    noted_ = true;
    taken_.swap(taken);
    tookNone_ = none;
}

std::string Device::Taken(const std::string& had, std::uint64_t taken, std::uint64_t sent)
{
    if (sent == 0)
        return "nothing had been sent: nothing will print";
    if (taken == 0)
        return had + " none of " + Grouped(sent) + " bytes: nothing will print";
    return had + " " + Grouped(taken) + " of " + Grouped(sent) + " bytes and may print them";
}

void Device::Confirm()
{
    confirmation_.reset();
    if (Channel* open = channel(); confirm_ && open)
        confirmation_ = confirm_(*open);
}

// Only a device that keeps jobs (jobId() non-zero) has them followed; one that cannot tell
// never calls a job printed.
ipp::JobEnd Device::Follow(int, const std::string& jobName, std::optional<Clock::time_point>,
                           const StateListener&, ipp::Subscription)
{
    return {Outcome::unknown, jobName + " may print: its state is unavailable: the printer keeps no jobs"};
}

} // namespace rawlet::direct
