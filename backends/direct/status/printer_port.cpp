#include "status_sources.h"

#ifdef __linux__
#include <linux/lp.h>
#include <sys/ioctl.h>
#endif

#include <array>
#include <string>

namespace rawlet::direct {

namespace {

// The status bits the Linux printer drivers report, as <linux/lp.h> defines them (the same
// values as the USB printer class's port status).
constexpr int kNotError = 0x08; // LP_PERRORP
constexpr int kSelected = 0x10; // LP_PSELECD
constexpr int kPaperOut = 0x20; // LP_POUTPA

#ifdef __linux__
static_assert(kNotError == LP_PERRORP && kSelected == LP_PSELECD && kPaperOut == LP_POUTPA);

// The USB printer driver's request for the device ID; no system header defines it.
constexpr unsigned long GetDeviceIdRequest(unsigned length) { return _IOC(_IOC_READ, 'P', 1, length); }

constexpr std::size_t kLongestDeviceId = 1024;

// The device ID the printer gave; empty when it gives none. The request does not tell how
// much the driver filled in, so the whole buffer counts as read, zeros after the reply.
std::string DeviceIdOf(int fd)
{
    std::array<char, kLongestDeviceId> answer{};
    if (::ioctl(fd, GetDeviceIdRequest(answer.size()), answer.data()) < 0)
        return {};
    return DeviceIdOfPortReply(std::string_view(answer.data(), answer.size()));
}
#endif

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

std::optional<StatusFacts> AskUsbPort(int fd)
{
#ifdef __linux__
    int bits = 0;
    if (::ioctl(fd, LPGETSTATUS, &bits) < 0)
        return std::nullopt;
    StatusFacts facts = DecodePortStatus(bits);
    facts.deviceId = DeviceIdOf(fd);
    return facts;
#else
    (void)fd;
    return std::nullopt;
#endif
}

} // namespace rawlet::direct
