#include "line_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <map>
#include <thread>

#include "fd_io.h"

namespace rawlet::direct {

namespace {

speed_t Speed(unsigned baud)
{
    static const std::map<unsigned, speed_t> kSpeeds = {
        {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
        {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
        {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    const auto found = kSpeeds.find(baud);
    return found == kSpeeds.end() ? B0 : found->second;
}

} // namespace

bool LineDevice::Connect()
{
    // Non-blocking, so a device that takes nothing cannot hold a write past the timeout.
    UniqueFd fd(::open(uri_.path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return Fail("cannot open " + uri_.path + ": " + Reason(errno));
    device_ = std::move(fd);
    if (uri_.kind == DeviceUri::Kind::Serial && !SetUpSerialLine()) {
        device_.Reset();
        return false;
    }
    return true;
}

// Raw output: no translation of line ends, the URI's speed, character size, parity and flow.
bool LineDevice::SetUpSerialLine()
{
    const SerialSettings& serial = uri_.serial;
    const speed_t speed = Speed(serial.baud);
    if (speed == B0)
        return Fail("baud " + std::to_string(serial.baud) + " is not a speed this system sets");
    termios line{};
    if (::tcgetattr(device_.get(), &line) != 0)
        return Fail(uri_.path + " is not a serial line: " + Reason(errno));
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

bool LineDevice::Begin(const std::string&) { return device_ || Connect(); }

bool LineDevice::Write(std::string_view bytes)
{
    std::string failure;
    if (!device_)
        return Fail("not open");
    if (WriteAll(device_.get(), bytes, uri_.timeout, failure))
        return true;
    Abort();
    return Fail(uri_.path + ": " + failure);
}

// A serial line's job is delivered once the line has sent what its driver still holds; a
// device file's, once the bytes have left the process.
bool LineDevice::Finish()
{
    if (!device_)
        return Fail("not open");
    return uri_.kind != DeviceUri::Kind::Serial || AwaitLineDrained();
}

// Polled rather than tcdrain(), which would wait without a time limit on a line held by
// flow control.
bool LineDevice::AwaitLineDrained()
{
    constexpr auto kPollInterval = std::chrono::milliseconds(5);
    const auto deadline = std::chrono::steady_clock::now() + uri_.timeout;
    int pending = 0;
    while (::ioctl(device_.get(), TIOCOUTQ, &pending) == 0 && pending > 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            Abort();
            return Fail(uri_.path + ": " + TimedOut(uri_.timeout) + " with " + std::to_string(pending) +
                        " bytes not sent");
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

// What the line has not sent yet is dropped.
void LineDevice::Abort() noexcept
{
    if (!device_)
        return;
    if (uri_.kind == DeviceUri::Kind::Serial)
        ::tcflush(device_.get(), TCOFLUSH);
    device_.Reset();
}

} // namespace rawlet::direct
