#include "status_sources.h"

#include <algorithm>
#include <string>

namespace rawlet::direct {

namespace {

using Word = PrintingConfirmation::Word;

// A printer answers ~HS at once; it is asked again this long after its answer, or once this
// long has passed without one.
constexpr auto kStatusInterval = std::chrono::milliseconds(250);
constexpr auto kLongestAnswer = std::chrono::seconds(1);

std::string Joined(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : ", ") + word;
    return joined;
}

// Printed once nothing of the job is left: no format waiting or coming in, no label to print.
bool NothingLeft(const ZplHostStatus& status)
{
    return status.formatsWaiting == 0 && !status.partialFormat && status.labelsLeft == 0;
}

// Waits until `until` before the next question, or less when the channel is interrupted or
// ends; false when interrupted. What the printer sends meanwhile is unasked, and the next
// question drops it anyway.
bool Pause(Channel& channel, Clock::time_point until)
{
    std::string unasked;
    while (channel.ReceiveMore(unasked, until))
        unasked.clear();
    return !channel.interrupted();
}

} // namespace

// The job's formats are in the receive buffer by the time ~HS, which comes after them, is
// read: a printer that has none waiting and no label left has printed them.
PrintingConfirmation ConfirmZpl(Channel& channel, Clock::time_point deadline, Clock::duration silence)
{
    ConfirmationClock clock(deadline, silence);
    for (;;) {
        if (const auto over = clock.Over())
            return *over;
        const auto answerBy = std::min(clock.wakeAt(), Clock::now() + kLongestAnswer);
        const std::optional<ZplHostStatus> status = AskZplHostStatus(channel, answerBy);
        if (!status) {
            if (channel.interrupted() || Clock::now() < answerBy)
                return clock.Ended(channel);
            continue;
        }
        clock.Heard();
        if (!status->stoppedBy.empty())
            return {Word::Stopped, Joined(status->stoppedBy)};
        if (NothingLeft(*status))
            return {Word::Printed, {}};
        if (!Pause(channel, std::min(clock.wakeAt(), Clock::now() + kStatusInterval)))
            return {Word::Interrupted, {}};
    }
}

} // namespace rawlet::direct
