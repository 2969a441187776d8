#pragma once

// The transports of direct printers, one file per URI scheme (socket.cpp, ipp.cpp,
// serial.cpp, file.cpp), each opening with its URI grammar: how a URI is read, the contract
// every transport keeps (Device), and the transports themselves. What the rest of the direct
// printers may call is declared here.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/platform/printer_status.h>

#include "host_lookup.h"
#include "interrupter.h"
#include "reasons.h"
#include "shared_ipp.h"
#include "unique_fd.h"
#include "write_all.h"

namespace rawlet::direct {

using posixapi::Addresses;
using posixapi::Clock;
using posixapi::DescriptorCalls;
using posixapi::Interrupter;
using posixapi::LookUpHost;
using posixapi::Pause;
using posixapi::Reason;
using posixapi::TimedOut;
using posixapi::UniqueFd;
using posixapi::WaitFor;
using posixapi::WriteAll;
using posixapi::WriteCalls;

// ---- Addresses ---------------------------------------------------------------------------

// How a serial line is set up: `serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=none`.
struct SerialSettings {
    unsigned baud = 9600;
    unsigned bits = 8;
    char parity = 'n'; // 'n'one, 'e'ven or 'o'dd
    char flow = 'n';   // 'n'one, 's'oft (XON/XOFF) or 'h'ard (RTS/CTS)
};

// Where a direct printer is, parsed from its URI (each transport's file gives its grammar):
//   socket://HOST[:PORT][?timeout=S+snmp=COMMUNITY|off]  AppSocket (port 9100 by default)
//   ipp://HOST[:PORT][/PATH][?timeout=S], ipps:// an IPP printer or a remote queue
//   serial:/dev/PATH[?baud=N+bits=7|8+parity=none|even|odd+flow=none|soft|hard][+timeout=S]
//   file:/dev/PATH[?timeout=S], file:///dev/PATH  a character device, such as /dev/usb/lp0
// socket://, serial: and file: also take status=escpos|zpl: the printer's language, in which
// its status is asked and, when the caller waits, whether it printed a job.
struct DeviceUri {
    enum class Kind { Socket, Ipp, Ipps, Serial, File };
    // A status query in the printer's own language, sent only when asked: `status=escpos`
    // or `status=zpl`.
    enum class Probe { None, EscPos, Zpl };

    std::string text; // as given
    Kind kind = Kind::Socket;
    std::string host;
    int port = 0;
    std::string path; // the IPP resource or the device file
    // The longest wait for a connection, for the device to take another byte (a stall), or
    // for it to end a job it holds whole.
    std::chrono::seconds timeout{10};
    SerialSettings serial;
    // The SNMP community a socket:// printer's status is asked with; empty for `snmp=off`.
    std::string snmpCommunity = "public";
    Probe probe = Probe::None;
};

// A URI that names no device this system can reach; the message says why.
struct BadDeviceUri : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

DeviceUri ParseDeviceUri(std::string_view text);

// Whether `text` is written as a device URI rather than as a printer's name.
bool LooksLikeDeviceUri(std::string_view text);

// ---- The contract ------------------------------------------------------------------------

// "65,536": as a person reads a count of bytes.
std::string Grouped(std::uint64_t count);

// What one source of status (the port, SNMP, IPP, the printer's own language) told about a
// printer. Only what the source answered is set; the rest stays unknown.
struct StatusFacts {
    std::optional<platform::PrinterStatus::State> state;
    std::vector<std::string> reasons; // IPP keywords with their severity suffix
    std::string message;
    std::optional<bool> acceptingJobs;
    std::optional<int> queuedJobs;
    std::string deviceId;    // the IEEE 1284 device ID, as the printer gave it
    std::string description; // the printer's own name for itself (hrDeviceDescr)
};

// What a printer said, asked in its own language once it had a whole document, of that
// document's printing.
struct PrintingConfirmation {
    enum class Word {
        Printed,       // it has printed everything before the question
        Stopped,       // it stopped before it said so (`reason`: "paper end", "head open", ...)
        FellSilent,    // it answered, then no more, before it said so: stopped, as a label
                       // printer out of paper is, or gone
        StillPrinting, // it answered, and had not finished by the end of the wait
        NoAnswer,      // it never answered: it cannot tell, or the connection ended
        Interrupted,
    };
    Word word = Word::NoAnswer;
    std::string reason;
};

// Asks the printer over its open connection `fd`, which holds a whole document, whether it
// has printed it; ends at once when `interrupter` is interrupted.
using PrintingConfirmer = std::function<PrintingConfirmation(int fd, const Interrupter& interrupter)>;

// A printer reached without a scheduler. Each call reports failure by its result and then
// leaves the reason in failure(). None waits without a deadline: the URI's timeout bounds how
// long the device may take nothing (a stall), and every wait ends at once on Interrupt().
// The members below the pure ones are optional: a transport that cannot tell keeps their
// defaults.
class Device {
public:
    using StateListener = std::function<void(const std::string& state)>;

    virtual ~Device() = default;

    // Reaches the device (connects, opens), so that a printer that cannot be reached fails
    // before any byte is offered. Begin does it again for a later document when needed.
    virtual bool Connect() = 0;
    // Reaches the device only to ask how it is, changing nothing there: nothing it holds is
    // emptied, set up or dropped, then or when it is let go. With `query`, a status query in
    // the printer's own language may then go over descriptor(), and nothing else. As Connect
    // for a device that a connection leaves as it was.
    virtual bool ConnectToLook([[maybe_unused]] bool query) { return Connect(); }
    virtual bool Begin(const std::string& title) = 0;
    // Hands every byte to the device, or fails.
    virtual bool Write(std::string_view bytes) = 0;
    // True only once the device holds the whole document.
    virtual bool Finish() = 0;
    // Ends the document at once, so the device does not take it as complete where it can tell.
    virtual void Abort() noexcept = 0;
    // From any thread, while another may be in a call on the device: that call, and every
    // later one, fails at once, and the document in progress is not delivered, even when the
    // process ends before the device is closed.
    virtual void Interrupt() noexcept = 0;

    const std::string& failure() const noexcept { return failure_; }
    // From any thread, once Interrupt() has come, or after a call failed: how much of the
    // document in progress the printer had by then, such as "the printer had acknowledged
    // 16,384 of 65,536 bytes and may print them"; empty when there was no document or the
    // device cannot tell.
    std::string taken() const;
    // Whether, by then, the printer was known to have had none of the document: then it will
    // not print any of it.
    bool tookNone() const;
    // Whether the last write failed because the device took nothing for the timeout.
    bool stalled() const noexcept { return stalled_; }

    // Has the printer of each later document asked, by `confirm`, whether it has printed it,
    // once it holds it all and before the document ends; an empty `confirm` asks nothing. Only
    // a device with a connection both ways (descriptor()) can ask.
    void ConfirmPrinting(PrintingConfirmer confirm) { confirm_ = std::move(confirm); }
    // After Finish: what the printer said of the document's printing; nothing when it was not
    // asked.
    const std::optional<PrintingConfirmation>& confirmation() const noexcept { return confirmation_; }

    // The open connection, after Connect, for a status query in the printer's own language
    // (written and read by the caller's thread only); -1 where there is none.
    virtual int descriptor() const noexcept { return -1; }
    // What the device's own protocol told of its state when it connected (IPP does); nothing
    // for the others.
    virtual std::optional<StatusFacts> connectFacts() const { return std::nullopt; }
    // The number the device gave the last document it took, for a device that keeps jobs
    // and can tell when they have printed (IPP); zero for the others, whose delivery is the end.
    virtual int jobId() const noexcept { return 0; }
    // Whether the last Connect that failed had an answer from the device, a refusal, rather
    // than none: only a device that speaks a protocol can tell.
    virtual bool refused() const noexcept { return false; }
    // For a device that keeps jobs: follows job `jobId`, named `jobName` in the lines and
    // reasons ("job 7 on Kitchen"), until it has printed or can no longer print, as
    // ipp::FollowJob does, until `deadline` at the latest when given. `onState`, when given,
    // hears each state asked. Ends at once on Interrupt(), cancelling the job.
    virtual ipp::JobEnd Follow(int jobId, const std::string& jobName,
                               std::optional<Clock::time_point> deadline, const StateListener& onState);

protected:
    bool Fail(std::string reason)
    {
        failure_ = std::move(reason);
        return false;
    }
    // Writes every byte to `fd`, or ends the document (Abort) and fails with the reason after
    // `where`; the timeout bounds a stall. Stops at once when interrupted, and counts the
    // bytes the system took (handed()).
    bool WriteOrAbort(int fd, std::string_view bytes, std::chrono::seconds timeout,
                      const Interrupter& interrupter, const std::string& where);
    // The bytes of the document in progress that WriteOrAbort handed to the system.
    std::uint64_t handed() const noexcept { return handed_; }
    void StartCounting() noexcept;
    // How much of the document the printer had: `taken` of `sent` bytes, told as `had`
    // ("the printer had acknowledged"); nothing taken when the device cannot tell.
    struct Had {
        std::string had;
        std::uint64_t sent = 0;
        std::optional<std::uint64_t> taken;
    };
    // What the printer has of the document in progress now; a transport that can tell says.
    virtual Had HadNow() const { return {}; }
    // For Interrupt() and failures: notes what taken() and tookNone() tell, once a document:
    // what the printer had when the document first broke off.
    void NoteTaken(const Had& had) noexcept;
    void NoteTaken(std::string taken, bool none) noexcept;
    bool ConfirmingPrinting() const noexcept { return static_cast<bool>(confirm_); }
    // Asks the printer over `fd` whether it has printed the document it holds, when asked to
    // (ConfirmPrinting); confirmation() then says what it answered.
    void Confirm(int fd, const Interrupter& interrupter);
    // "the printer had acknowledged 16,384 of 65,536 bytes and may print them", where `had`
    // is "the printer had acknowledged", or that nothing will print when it had none.
    static std::string Taken(const std::string& had, std::uint64_t taken, std::uint64_t sent);

private:
    std::string failure_;
    bool stalled_ = false;
    std::atomic<std::uint64_t> handed_ = 0;
    mutable std::mutex takenMutex_;
    std::string taken_;
    bool noted_ = false; // for the document in progress
    bool tookNone_ = false;
    PrintingConfirmer confirm_;
    std::optional<PrintingConfirmation> confirmation_;
};

// The device a URI names.
std::unique_ptr<Device> MakeDevice(const DeviceUri& uri);

// ---- The transports ----------------------------------------------------------------------

// socket.cpp: an AppSocket (JetDirect) printer, one TCP connection per document.
class SocketDevice : public Device {
public:
    explicit SocketDevice(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int descriptor() const noexcept override { return connection_.get(); }

private:
    bool ConnectTo(const ::addrinfo& address, Clock::time_point deadline);
    bool AwaitAcknowledged();
    bool AwaitDelivery();
    bool FailShutdown(int error);
    bool FailWait(int problem, const std::string& waitingFor);
    void Keep(UniqueFd connection);
    Had HadNow() const override;

    DeviceUri uri_;
    Interrupter interrupter_;
    std::mutex connectionMutex_; // held only to replace or reset the connection, never while waiting
    UniqueFd connection_;
    std::atomic<bool> endSent_ = false; // our end of stream, which the kernel counts as a byte
};

// ipp.cpp: an IPP printer, or a queue of a remote scheduler, one Print-Job per document.
class IppDevice : public Device {
public:
    explicit IppDevice(DeviceUri uri);

    bool Connect() override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int jobId() const noexcept override { return jobId_; }
    bool refused() const noexcept override { return refused_; }
    std::optional<StatusFacts> connectFacts() const override { return facts_; }
    ipp::JobEnd Follow(int jobId, const std::string& jobName, std::optional<Clock::time_point> deadline,
                       const StateListener& onState) override;

private:
    class PrinterJobs;

    // How far the document has come, as Interrupt() tells what the printer had of it.
    enum class Stage { None, Sending, AwaitingAnswer };

    bool OpenConnection();
    bool AskPrinterState();
    bool ChooseJobVersion();
    ipp_t* NewRequest(ipp_op_t operation) const;
    ipp::Ipp Ask(ipp_t* request);
    std::string Unsuccessful(ipp_t* response) const;
    bool WatchConnection();
    void Keep(ipp::Http http) noexcept;
    std::string ConnectionFailure(int error, Clock::time_point deadline);
    std::string Probe(DeviceUri uri);

    DeviceUri uri_;
    std::string printerUri_; // the URI without its options, "/" for a printer at the root
    std::mutex httpMutex_;   // held only to replace the connection or its watch, never while it is used
    ipp::Http http_;
    UniqueFd watched_;              // our own descriptor of http_'s socket, which Interrupt() shuts
    SocketDevice* probe_ = nullptr; // a connection made to learn why libcups's failed
    Interrupter interrupter_;
    int cancelConnect_ = 0;         // libcups's flag to end a connection attempt
    int version_ = 20;              // the IPP version of requests: 20, 11 or 10
    bool jobVersionChosen_ = false; // whether version_ is one the printer takes jobs in
    std::atomic<Stage> stage_ = Stage::None;
    int jobId_ = 0;
    bool refused_ = false;
    bool offersEvents_ = false;        // the printer offers subscriptions pulled with ippget
    std::optional<StatusFacts> facts_; // what the printer said of its state when asked
};

// file.cpp: a printer on a character device (`file:`, such as a parallel or USB printer
// port; a regular file is emptied when it is opened for a job). The device stays open from
// one document to the next, as a port does. serial.cpp builds a serial line on it.
class DeviceFile : public Device {
public:
    explicit DeviceFile(DeviceUri uri) : uri_(std::move(uri)) {}

    bool Connect() override;
    bool ConnectToLook(bool query) override;
    bool Begin(const std::string& title) override;
    bool Write(std::string_view bytes) override;
    bool Finish() override;
    void Abort() noexcept override;
    void Interrupt() noexcept override;
    int descriptor() const noexcept override { return device_ ? device_.get() : look_.get(); }

protected:
    // What a kind of device file adds: its set-up once opened, the wait until what it holds
    // has gone out, and, called with the device's lock held, what the printer had of the
    // document (HadNow) and dropping what it has not sent.
    virtual bool SetUp() { return true; }
    virtual bool AwaitSent() { return true; }
    Had HadNow() const override { return {"the device had taken", handed(), handed()}; }
    virtual void DropUnsent() noexcept {}

    const DeviceUri uri_;
    Interrupter interrupter_;
    UniqueFd device_;

private:
    void Keep(UniqueFd device);

    std::mutex deviceMutex_; // held only to replace the device, never while waiting
    // Open only to ask the device's status: what Abort and Interrupt drop is a job's, never
    // what another program left in the device.
    UniqueFd look_;
};

// serial.cpp: a printer on a serial line, set up from the URI with termios.
class SerialLine : public DeviceFile {
public:
    using DeviceFile::DeviceFile;

    bool ConnectToLook(bool query) override;

protected:
    bool SetUp() override;
    bool AwaitSent() override;
    Had HadNow() const override;
    void DropUnsent() noexcept override;
};

} // namespace rawlet::direct
