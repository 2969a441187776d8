// file:/dev/PATH[?OPTIONS], file:///dev/PATH: a printer on a character device, such as a
// parallel or USB printer port (/dev/usb/lp0), or a regular file standing for one, which is
// emptied when it is opened for a job (never to ask its status). Options, joined by '+':
//   timeout=S            the longest stall (10 s)
//   status=escpos|zpl    ask its status in its own language too, and, when the caller
//                        waits, whether it printed a job (opens it both ways)
//
// The device stays open from one document to the next, as a port does. A document is
// delivered once its bytes have left the process. A printer asked to confirm its printing is
// asked then, over the device opened both ways.
#include "posix_transports.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rawlet::direct {

bool DeviceFile::Connect()
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
    if (!SetUp()) {
        Keep(UniqueFd());
        return false;
    }
    return true;
}

// Read-only where it can be: a printer port tells its status lines to a reader too. A query
// needs the device both ways, and appends, so that a regular file keeps what it holds.
bool DeviceFile::ConnectToLook(bool query)
{
    const int flags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    UniqueFd fd(::open(uri_.path.c_str(), (query ? O_RDWR | O_APPEND : O_RDONLY) | flags));
    // A device this user may write but not read is still there to print to.
    if (!fd && errno == EACCES && !query)
        fd = UniqueFd(::open(uri_.path.c_str(), O_WRONLY | flags));
    if (!fd)
        return Fail("cannot open " + uri_.path + ": " + Reason(errno));
    look_ = std::move(fd);
    return true;
}

bool DeviceFile::Begin(const std::string&)
{
    StartCounting();
    return device_ || Connect();
}

bool DeviceFile::Write(std::string_view bytes)
{
    if (!device_)
        return Fail("not open");
    return WriteOrAbort(device_.get(), bytes, uri_.timeout, interrupter_, uri_.path + ": ");
}

bool DeviceFile::Finish()
{
    if (!device_)
        return Fail("not open");
    if (interrupter_.interrupted()) {
        Abort();
        return Fail(uri_.path + ": interrupted");
    }
    if (!AwaitSent())
        return false;
    Confirm();
    if (interrupter_.interrupted()) {
        Abort();
        return Fail(uri_.path + ": interrupted");
    }
    return true;
}

// A parallel or USB printer port, which tells its paper, selection and error lines.
bool DeviceFile::onPrinterPort() const noexcept
{
    return uri_.kind == DeviceUri::Kind::File &&
           (uri_.path.starts_with("/dev/usb/lp") || uri_.path.starts_with("/dev/lp"));
}

void DeviceFile::Keep(UniqueFd device)
{
    std::lock_guard lock(deviceMutex_);
    device_ = std::move(device);
}

void DeviceFile::Abort() noexcept
{
    std::lock_guard lock(deviceMutex_);
    if (!device_)
        return;
    NoteTaken(HadNow());
    DropUnsent();
    device_.Reset();
}

// What the device still holds is dropped at once, so that the rest of the job never goes
// out if the process ends before the device is closed; what the printer had is read first.
void DeviceFile::Interrupt() noexcept
{
    std::lock_guard lock(deviceMutex_);
    if (device_)
        NoteTaken(HadNow());
    interrupter_.Interrupt();
    if (device_)
        DropUnsent();
}

} // namespace rawlet::direct
