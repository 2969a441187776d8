#include "status_sources.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace rawlet::direct {

namespace {

using State = platform::PrinterStatus::State;

// hrPrinterDetectedErrorState's bits (bit 0 is the most significant bit of the first octet)
// and the IPP keywords for them. The suffix follows IPP: "-error" where the condition keeps
// jobs from printing, "-report" where it does not yet, "-warning" where it may not.
//
//   bit  RFC 3805 name        IPP reason
//    0   lowPaper             media-low-report
//    1   noPaper              media-empty-error
//    2   lowToner             toner-low-report
//    3   noToner              toner-empty-error
//    4   doorOpen             door-open-error
//    5   jammed               media-jam-error
//    6   offline              offline-report (as CUPS says it; it stops printing)
//    7   serviceRequested     other-warning
//    8   inputTrayMissing     input-tray-missing-error
//    9   outputTrayMissing    output-tray-missing-error
//   10   markerSupplyMissing  marker-supply-missing-error
//   11   outputNearFull       output-area-almost-full-report
//   12   outputFull           output-area-full-error
//   13   inputTrayEmpty       input-tray-empty-error
//
// serviceRequested is a warning: printers raise it with every condition above that stops
// them, which its own bit then names, and alone for service that is merely due. Bits 14
// (overduePreventMaint) and 15 have no IPP keyword and are not reported.
constexpr std::array<const char*, 14> kReasonOfBit = {
    "media-low-report",
    "media-empty-error",
    "toner-low-report",
    "toner-empty-error",
    "door-open-error",
    "media-jam-error",
    "offline-report",
    "other-warning",
    "input-tray-missing-error",
    "output-tray-missing-error",
    "marker-supply-missing-error",
    "output-area-almost-full-report",
    "output-area-full-error",
    "input-tray-empty-error",
};

bool BitIsSet(std::string_view octets, std::size_t bit)
{
    const auto octet = static_cast<unsigned char>(octets[bit / 8]);
    return (octet & (0x80u >> (bit % 8))) != 0;
}

std::string_view WithoutTrailing(std::string_view text, std::string_view padding)
{
    const auto end = text.find_last_not_of(padding);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

} // namespace

std::optional<State> StateOfPrinterStatus(long hrPrinterStatus)
{
    // other(1) and unknown(2) tell nothing. warmup(5) is busy: a job sent now waits for it,
    // as for one printing; IPP has no reason keyword for warming up, so none is given.
    switch (hrPrinterStatus) {
    case 3:
        return State::Idle;
    case 4:
    case 5:
        return State::Processing;
    default:
        return std::nullopt;
    }
}

std::vector<std::string> ReasonsOfDetectedErrorState(std::string_view octets)
{
    std::vector<std::string> reasons;
    const std::size_t bits = std::min(octets.size() * 8, kReasonOfBit.size());
    for (std::size_t bit = 0; bit < bits; ++bit)
        if (BitIsSet(octets, bit))
            reasons.emplace_back(kReasonOfBit[bit]);
    return reasons;
}

std::string DeviceDescription(std::string_view octets)
{
    return std::string(WithoutTrailing(octets, std::string_view(" \t\r\n\0", 5)));
}

std::string DeviceIdOfPortMonitor(std::string_view octets)
{
    if (octets.size() >= 2) {
        const std::size_t length =
            static_cast<unsigned char>(octets[0]) * 256u + static_cast<unsigned char>(octets[1]);
        if (length == octets.size() || length == octets.size() - 2)
            octets.remove_prefix(2);
    }
    return std::string(WithoutTrailing(octets, std::string_view("\0", 1)));
}

} // namespace rawlet::direct
