#include "status_sources.h"

#include <algorithm>

namespace rawlet::direct {

using Word = PrintingConfirmation::Word;

ConfirmationClock::ConfirmationClock(Clock::time_point deadline, Clock::duration silence)
    : deadline_(deadline), silence_(silence), lastHeard_(Clock::now())
{}

void ConfirmationClock::Heard()
{
    answered_ = true;
    lastHeard_ = Clock::now();
}

Clock::time_point ConfirmationClock::wakeAt() const { return std::min(deadline_, lastHeard_ + silence_); }

std::optional<PrintingConfirmation> ConfirmationClock::Over() const
{
    const auto now = Clock::now();
    if (!answered_ && now >= wakeAt())
        return PrintingConfirmation{Word::NoAnswer, {}};
    if (now >= deadline_)
        return PrintingConfirmation{Word::StillPrinting, {}};
    if (now >= lastHeard_ + silence_)
        return PrintingConfirmation{Word::FellSilent, {}};
    return std::nullopt;
}

PrintingConfirmation ConfirmationClock::Ended(const Channel& channel) const
{
    if (channel.interrupted())
        return {Word::Interrupted, {}};
    return {answered_ ? Word::FellSilent : Word::NoAnswer, {}};
}

PrintingConfirmer ConfirmerFor(DeviceUri::Probe language, std::chrono::milliseconds limit,
                               std::chrono::seconds silence)
{
    const Clock::duration wait = limit.count() > 0 ? Clock::duration(limit) : kDefaultConfirmationWait;
    switch (language) {
    case DeviceUri::Probe::EscPos:
        return [=](Channel& channel) { return ConfirmEscPos(channel, Clock::now() + wait, silence); };
    case DeviceUri::Probe::Zpl:
        return [=](Channel& channel) { return ConfirmZpl(channel, Clock::now() + wait, silence); };
    case DeviceUri::Probe::None:
        break;
    }
    return {};
}

} // namespace rawlet::direct
