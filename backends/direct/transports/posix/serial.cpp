// serial:/dev/PATH[?OPTIONS]: a printer on a serial line. Options, joined by '+':
//   baud=N                   1200 to 921600 where the system sets it (9600)
//   bits=7|8                 character size (8)
//   parity=none|even|odd     (none)
//   flow=none|soft|hard      XON/XOFF or RTS/CTS flow control (none)
//   timeout=S                the longest stall (10 s)
//   status=escpos|zpl        ask its status in its own language too, and, when the
//                            caller waits, whether it printed a job
//
// Asking its status leaves the line as it is. A document is delivered once the line has sent
// what its driver still held.
#include "posix_transports.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace rawlet::direct {

namespace {

speed_t Speed(unsigned baud)
{
    static const std::map<unsigned, speed_t> kSpeeds = {
        {1200, B1200},     {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
        {38400, B38400},   {57600, B57600}, {115200, B115200}, {230400, B230400},
#ifdef B460800 // not every system has the speeds above 230400
        {460800, B460800},
#endif
#ifdef B921600
        {921600, B921600},
#endif
    };
    const auto found = kSpeeds.find(baud);
    return found == kSpeeds.end() ? B0 : found->second;
}

std::string NotASerialLine(const std::string& path)
{
    return path + " is not a serial line: " + Reason(errno);
}

} // namespace

// Only whether the line is one: its settings stay as the program that uses it made them.
bool SerialLine::ConnectToLook(bool query)
{
    termios line{};
    if (!DeviceFile::ConnectToLook(query))
        return false;
    return ::tcgetattr(descriptor(), &line) == 0 || Fail(NotASerialLine(uri_.path));
}

// Raw output: no translation of line ends, the URI's speed, character size, parity and flow.
bool SerialLine::SetUp()
{
    const SerialSettings& serial = uri_.serial;
    const speed_t speed = Speed(serial.baud);
    if (speed == B0)
        return Fail("baud " + std::to_string(serial.baud) + " is not a speed this system sets");
    termios line{};
    if (::tcgetattr(device_.get(), &line) != 0)
        return Fail(NotASerialLine(uri_.path));
    ::cfmakeraw(&line);
    ::cfsetispeed(&line, speed);
    ::cfsetospeed(&line, speed);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    line.c_cflag |= (serial.bits == 7 ? CS7 : CS8) | CLOCAL | CREAD;
    if (serial.parity != 'n')
        line.c_cflag |= PARENB | (serial.parity == 'o' ? PARODD : 0);
    if (serial.flow == 'h')
        line.c_cflag |= CRTSCTS;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (serial.flow == 's')
        line.c_iflag |= IXON | IXOFF;
    if (::tcsetattr(device_.get(), TCSANOW, &line) != 0)
        return Fail("cannot set up " + uri_.path + ": " + Reason(errno));
    return true;
}

// Polled rather than tcdrain(), which would wait without a time limit on a line held by
// flow control. The timeout runs from the line's last progress: a printer that holds the
// flow for a while, as a busy one does, is waited for; one that takes nothing for the
// timeout has stalled.
bool SerialLine::AwaitSent()
{
    constexpr auto kPollInterval = std::chrono::milliseconds(5);
    auto deadline = Clock::now() + uri_.timeout;
    int pending = 0;
    int lastPending = -1;
    while (::ioctl(device_.get(), TIOCOUTQ, &pending) == 0 && pending > 0) {
        if (lastPending < 0 || pending < lastPending)
            deadline = Clock::now() + uri_.timeout;
        lastPending = pending;
        if (Clock::now() >= deadline) {
            Abort();
            return Fail(uri_.path + ": " + TimedOut(uri_.timeout) + " with " + std::to_string(pending) +
                        " bytes not sent");
        }
        if (Pause(std::min(deadline, Clock::now() + kPollInterval), &interrupter_) == ECANCELED) {
            Abort();
            return Fail(uri_.path + ": interrupted");
        }
    }
    return true;
}

// What left the line reached the printer; what its output queue holds has not.
Device::Had SerialLine::HadNow() const
{
    int pending = 0;
    if (::ioctl(device_.get(), TIOCOUTQ, &pending) != 0 || pending < 0)
        pending = 0;
    const std::uint64_t sent = handed();
    return {"the printer had received", sent,
            sent - std::min<std::uint64_t>(static_cast<std::uint64_t>(pending), sent)};
}

// What the line has not sent yet is dropped.
void SerialLine::DropUnsent() noexcept { ::tcflush(device_.get(), TCOFLUSH); }

} // namespace rawlet::direct
