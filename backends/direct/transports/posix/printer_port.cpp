#include "posix_transports.h"

#ifdef __linux__
#include <linux/lp.h>
#include <sys/ioctl.h>
#endif

#include <array>
#include <string>

namespace rawlet::direct {

#ifdef __linux__
namespace {

// The status bits DecodePortStatus reads are the Linux printer drivers' own.
static_assert(LP_PERRORP == 0x08 && LP_PSELECD == 0x10 && LP_POUTPA == 0x20);

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

} // namespace
#endif

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
