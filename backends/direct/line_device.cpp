#include "line_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "fd_io.h"

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

} // namespace

bool LineDevice::Connect()
{
    if (interrupter_.interrupted())
        return Fail("interrupted");
    // Non-blocking, so a device that takes nothing cannot hold a write past the timeout.
    // A serial line, or a port whose printer is asked in its own language, is opened both
    // ways, so that the printer's answers to a status query can be read.
    const bool twoWay = uri_.kind == DeviceUri::Kind::Serial || uri_.probe != DeviceUri::Probe::None;
    const int direction = twoWay ? O_RDWR : O_WRONLY;
    UniqueFd fd(::open(uri_.path.c_str(), direction | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return Fail("cannot open " + uri_.path + ": " + Reason(errno));
    // A regular file standing for a device holds this job alone, not the end of a longer one.
    struct stat status {};
    if (::fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode) && ::ftruncate(fd.get(), 0) != 0)
        return Fail("cannot empty " + uri_.path + ": " + Reason(errno));
    Keep(std::move(fd));
    if (uri_.kind == DeviceUri::Kind::Serial && !SetUpSerialLine()) {
        Keep(UniqueFd());
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
    if (WriteAll(device_.get(), bytes, uri_.timeout, &interrupter_, failure))
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
// flow control. The timeout runs from the line's last progress: a printer that holds the
// flow for a while, as a busy one does, is waited for; one that takes nothing for the
// timeout has stalled.
bool LineDevice::AwaitLineDrained()
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

void LineDevice::Keep(UniqueFd device)
{
    std::lock_guard lock(deviceMutex_);
    device_ = std::move(device);
}

// What the line has not sent yet is dropped.
void LineDevice::Abort() noexcept
{
    std::lock_guard lock(deviceMutex_);
    if (!device_)
        return;
    if (uri_.kind == DeviceUri::Kind::Serial)
        ::tcflush(device_.get(), TCOFLUSH);
    device_.Reset();
}

// What the line still holds is dropped at once, so that the rest of the job never goes out
// if the process ends before the device is closed.
void LineDevice::Interrupt() noexcept
{
    {
        std::lock_guard lock(deviceMutex_);
        if (device_ && uri_.kind == DeviceUri::Kind::Serial)
            ::tcflush(device_.get(), TCOFLUSH);
    }
    interrupter_.Interrupt();
}

} // namespace rawlet::direct
