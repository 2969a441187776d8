// file:DEVICE[?OPTIONS], file:PATH[?OPTIONS]: a printer on a Windows device such as LPT1, or a
// file standing for one (file:C:\out\receipt.bin), which is emptied when it is opened for a
// job (never to ask its status). Options, joined by '+':
//   timeout=S            the longest stall (10 s)
//   status=escpos|zpl    ask its status in its own language too, and, when the caller
//                        waits, whether it printed a job (opens a device both ways)
//
// The device stays open from one document to the next, as a port does. A document is
// delivered once the system has taken its bytes. A printer asked to confirm its printing is
// asked then, over the device opened both ways.
#include "win32_transports.h"

#include <algorithm>

#include <boost/asio/error.hpp>

#include "ansi_text.h"

namespace rawlet::direct {

namespace {

// The largest piece handed to one write, so that a stall is seen piece by piece.
constexpr std::size_t kLargestWrite = 64 * 1024;

// A device (LPT1, COM2) is named in the device namespace, where a file of that name in the
// working folder cannot stand in for it; a path is opened as it is.
std::wstring SystemName(const std::string& path)
{
    const bool drive = path.size() >= 2 && path[1] == ':';
    return (drive ? L"" : L"\\\\.\\") + winapi::FromAnsi(path);
}

} // namespace

bool FileDevice::Open(const std::wstring& name, unsigned long access, bool empty, bool look)
{
    if (io_.interrupted())
        return Fail("interrupted");
    Close(); // this device's own handle first, which would keep the device from opening again
    HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail("cannot open " + uri_.path + ": " + Reason(::GetLastError()));
    // A file standing for a device holds this job alone, not the end of a longer one.
    const bool file = ::GetFileType(handle) == FILE_TYPE_DISK;
    LARGE_INTEGER size{};
    if (file && empty && !::SetEndOfFile(handle)) {
        const DWORD problem = ::GetLastError();
        ::CloseHandle(handle);
        return Fail("cannot empty " + uri_.path + ": " + Reason(problem));
    }
    if (file && !empty)
        ::GetFileSizeEx(handle, &size);
    std::lock_guard lock(fileMutex_);
    boost::system::error_code error;
    file_.assign(handle, error);
    if (error) {
        ::CloseHandle(handle);
        return Fail("cannot use " + uri_.path + ": " + Reason(error));
    }
    offset_ = static_cast<std::uint64_t>(size.QuadPart);
    isFile_ = file;
    look_ = look;
    return true;
}

// A port whose printer is asked in its own language is opened both ways, so that its answers
// can be read.
bool FileDevice::Connect()
{
    const bool twoWay = uri_.probe != DeviceUri::Probe::None;
    return Open(SystemName(uri_.path), twoWay ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE, true, false);
}

// Read-only where it can be, which changes nothing; a device this user may write but not read
// is still there to print to. A query needs it both ways.
bool FileDevice::ConnectToLook(bool query)
{
    const std::wstring name = SystemName(uri_.path);
    if (query)
        return Open(name, GENERIC_READ | GENERIC_WRITE, false, true);
    return Open(name, GENERIC_READ, false, true) || Open(name, GENERIC_WRITE, false, true);
}

bool FileDevice::Begin(const std::string&)
{
    StartCounting();
    return (file_.is_open() && !look_) || Connect();
}

bool FileDevice::Write(std::string_view bytes)
{
    if (!file_.is_open() || look_)
        return Fail("not open");
    while (!bytes.empty()) {
        const std::string_view some = bytes.substr(0, kLargestWrite);
        UnderWay(some.size());
        const BoundedIo::Result written = io_.Write(
            some,
            [this](boost::asio::const_buffer piece, const BoundedIo::Handler& handler) {
                file_.async_write_some_at(offset_, piece, handler);
            },
            Clock::now() + uri_.timeout, [this] { Cancel(); });
        // One not ended stays under way: it moved nothing yet, and may still move any of it.
        if (written.ended)
            Handed(written.bytes);
        offset_ += written.bytes;
        bytes.remove_prefix(std::min(written.bytes, bytes.size()));
        if (const auto failure = FailureOfWrite(written, uri_.path + ": ", uri_.timeout))
            return FailWrite(failure->reason, failure->stalled);
    }
    return true;
}

bool FileDevice::Finish()
{
    if (!file_.is_open() || look_)
        return Fail("not open");
    Confirm();
    if (io_.interrupted()) {
        Abort();
        return Fail(uri_.path + ": interrupted");
    }
    return true;
}

void FileDevice::Abort() noexcept
{
    std::lock_guard lock(fileMutex_);
    if (!file_.is_open())
        return;
    NoteTaken(HadNow());
    boost::system::error_code ignored;
    file_.close(ignored);
}

void FileDevice::Interrupt() noexcept
{
    {
        std::lock_guard lock(fileMutex_);
        if (file_.is_open())
            NoteTaken(HadNow());
    }
    io_.Interrupt([this] { Cancel(); });
}

void FileDevice::Close() noexcept
{
    std::lock_guard lock(fileMutex_);
    boost::system::error_code ignored;
    file_.close(ignored);
}

void FileDevice::Cancel() noexcept
{
    boost::system::error_code ignored;
    file_.cancel(ignored);
}

} // namespace rawlet::direct
