#include "transports.h"

namespace rawlet::direct {

namespace {

// The status bits of a printer port, the same in the Linux printer drivers (<linux/lp.h>)
// and in the USB printer class's port status.
constexpr int kNotError = 0x08; // LP_PERRORP
constexpr int kSelected = 0x10; // LP_PSELECD
constexpr int kPaperOut = 0x20; // LP_POUTPA

} // namespace

// The error line is set with paper out as well: it is another error only when nothing
// else explains it.
StatusFacts DecodePortStatus(int bits)
{
    StatusFacts facts;
    const bool paperOut = bits & kPaperOut;
    if (paperOut)
        facts.reasons.emplace_back("media-empty-error");
    if (!(bits & kSelected))
        facts.reasons.emplace_back("offline-report");
    if (!(bits & kNotError) && !paperOut)
        facts.reasons.emplace_back("other-error");
    facts.state = facts.reasons.empty() ? platform::PrinterStatus::State::Idle
                                        : platform::PrinterStatus::State::Stopped;
    return facts;
}

} // namespace rawlet::direct
