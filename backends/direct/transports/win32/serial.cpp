// serial:COMn[?OPTIONS]: a printer on a COM port; COM10 and above, which only the device
// namespace knows, are opened as \\.\COMn, as every port is. Options, joined by '+':
//   baud=N                   the line's speed (9600)
//   bits=7|8                 character size (8)
//   parity=none|even|odd     (none)
//   flow=none|soft|hard      XON/XOFF or RTS/CTS flow control (none)
//   timeout=S                the longest stall (10 s)
//   status=escpos|zpl        ask its status in its own language too, and, when the
//                            caller waits, whether it printed a job
//
// Asking its status leaves the line as it is. The port stays open from one document to the
// next. A document is delivered once the port's output queue (ClearCommError) has gone out;
// what a document cut short had not sent is purged.
#include "win32_transports.h"

#include <algorithm>

#include <boost/asio/error.hpp>

#include "ansi_text.h"

namespace rawlet::direct {

namespace {

// How often the end of a job looks at what the port has not sent yet.
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// The largest piece handed to one write, so that a stall is seen piece by piece.
constexpr std::size_t kLargestWrite = 4096;

BYTE Parity(char parity) { return parity == 'e' ? EVENPARITY : parity == 'o' ? ODDPARITY : NOPARITY; }

} // namespace

// The port's own settings are left alone: only reads are made to return with what has come.
// A port is opened by one handle at a time: this device's own goes first.
bool SerialDevice::Open()
{
    Close();
    const std::wstring name = L"\\\\.\\" + winapi::FromAnsi(uri_.path);
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail("cannot open " + uri_.path + ": " + Reason(::GetLastError()));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 1; // a read waits for a byte, then returns what has come
    if (!::SetCommTimeouts(handle, &timeouts)) {
        const DWORD problem = ::GetLastError();
        ::CloseHandle(handle);
        return Fail(uri_.path + " is not a serial port: " + Reason(problem));
    }
    std::lock_guard lock(portMutex_);
    boost::system::error_code error;
    port_.assign(handle, error);
    if (error) {
        ::CloseHandle(handle);
        return Fail("cannot use " + uri_.path + ": " + Reason(error));
    }
    return true;
}

bool SerialDevice::Connect()
{
    if (io_.interrupted())
        return Fail("interrupted");
    look_ = false;
    if (!Open())
        return false;
    if (SetUp())
        return true;
    Close();
    return false;
}

bool SerialDevice::ConnectToLook(bool)
{
    if (io_.interrupted())
        return Fail("interrupted");
    look_ = true;
    return Open();
}

// Binary, the URI's speed, character size, parity and flow; DTR and, without hardware flow,
// RTS raised, as a printer waiting for a host expects.
bool SerialDevice::SetUp()
{
    const SerialSettings& serial = uri_.serial;
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(NativeOf(port_), &line))
        return Fail(uri_.path + " is not a serial port: " + Reason(::GetLastError()));
    line.BaudRate = serial.baud;
    line.ByteSize = static_cast<BYTE>(serial.bits);
    line.Parity = Parity(serial.parity);
    line.fParity = serial.parity != 'n';
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fOutxCtsFlow = serial.flow == 'h';
    line.fRtsControl = serial.flow == 'h' ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    line.fOutX = line.fInX = serial.flow == 's';
    line.XonChar = 0x11;
    line.XoffChar = 0x13;
    if (!::SetCommState(NativeOf(port_), &line))
        return Fail("cannot set up " + uri_.path + " (baud " + std::to_string(serial.baud) +
                    "): " + Reason(::GetLastError()));
    return true;
}

bool SerialDevice::Begin(const std::string&)
{
    StartCounting();
    return (port_.is_open() && !look_) || Connect();
}

bool SerialDevice::Write(std::string_view bytes)
{
    if (!port_.is_open() || look_)
        return Fail("not open");
    while (!bytes.empty()) {
        const std::string_view some = bytes.substr(0, kLargestWrite);
        UnderWay(some.size());
        const BoundedIo::Result written = io_.Write(
            some,
            [this](boost::asio::const_buffer piece, const BoundedIo::Handler& handler) {
                port_.async_write_some(piece, handler);
            },
            Clock::now() + uri_.timeout, [this] { Cancel(); });
        // One not ended stays under way: it moved nothing yet, and may still move any of it.
        if (written.ended)
            Handed(written.bytes);
        bytes.remove_prefix(std::min(written.bytes, bytes.size()));
        if (const auto failure = FailureOfWrite(written, uri_.path + ": ", uri_.timeout))
            return FailWrite(failure->reason, failure->stalled);
    }
    return true;
}

bool SerialDevice::Finish()
{
    if (!port_.is_open() || look_)
        return Fail("not open");
    if (io_.interrupted()) {
        Abort();
        return Fail(uri_.path + ": interrupted");
    }
    if (!AwaitSent())
        return false;
    Confirm();
    if (io_.interrupted()) {
        Abort();
        return Fail(uri_.path + ": interrupted");
    }
    return true;
}

// The timeout runs from the line's last progress: a printer that holds the flow for a while,
// as a busy one does, is waited for; one that takes nothing for the timeout has stalled.
bool SerialDevice::AwaitSent()
{
    auto deadline = Clock::now() + uri_.timeout;
    std::optional<std::uint64_t> last;
    for (auto unsent = Unsent(); unsent && *unsent > 0; unsent = Unsent()) {
        if (!last || *unsent < *last)
            deadline = Clock::now() + uri_.timeout;
        last = unsent;
        if (Clock::now() >= deadline) {
            Abort();
            return Fail(uri_.path + ": " + TimedOut(uri_.timeout) + " with " + Grouped(*unsent) +
                        " bytes not sent");
        }
        if (!io_.Pause(std::min(deadline, Clock::now() + kPollInterval))) {
            Abort();
            return Fail(uri_.path + ": interrupted");
        }
    }
    return true;
}

// What the port's output queue holds; nothing when the port cannot tell.
std::optional<std::uint64_t> SerialDevice::Unsent() const
{
    DWORD errors = 0;
    COMSTAT state{};
    if (!::ClearCommError(NativeOf(port_), &errors, &state))
        return std::nullopt;
    return state.cbOutQue;
}

// What left the line reached the printer; what the output queue holds, a write under way
// included, has not.
Device::Had SerialDevice::HadNow() const
{
    const std::uint64_t sent = offered();
    const std::uint64_t unsent = std::min(Unsent().value_or(0), sent);
    return {"the printer had received", sent, sent - unsent};
}

void SerialDevice::DropUnsent() noexcept { ::PurgeComm(NativeOf(port_), PURGE_TXABORT | PURGE_TXCLEAR); }

void SerialDevice::Abort() noexcept
{
    std::lock_guard lock(portMutex_);
    if (!port_.is_open())
        return;
    if (!look_) {
        NoteTaken(HadNow());
        DropUnsent();
    }
    boost::system::error_code ignored;
    port_.close(ignored);
}

// What the port still holds is purged at once, so that the rest of the job never goes out if
// the process ends before the port is closed; what the printer had is read first.
void SerialDevice::Interrupt() noexcept
{
    {
        std::lock_guard lock(portMutex_);
        if (port_.is_open() && !look_) {
            NoteTaken(HadNow());
            DropUnsent();
        }
    }
    io_.Interrupt([this] { Cancel(); });
}

void SerialDevice::Cancel() noexcept
{
    boost::system::error_code ignored;
    port_.cancel(ignored);
}

void SerialDevice::Close() noexcept
{
    std::lock_guard lock(portMutex_);
    boost::system::error_code ignored;
    port_.close(ignored);
}

} // namespace rawlet::direct
