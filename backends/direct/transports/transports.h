#pragma once

// The transports of direct printers, the same on every system: how a URI is read, the
// contract every transport keeps (Device), and the open connection both ways that a query in
// the printer's own language goes over (Channel). Each system's transports live in a folder
// of their own (posix/, win32/), one file per URI scheme, each opening with its URI grammar,
// and with that system's MakeDevice. What the rest of the direct printers may call is
// declared here.

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

#include "job_end.h"

namespace rawlet::direct {

using Clock = std::chrono::steady_clock;

// ---- Addresses ---------------------------------------------------------------------------

// How a serial line is set up: `serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=none`,
// `serial:COM7?baud=9600`.
struct SerialSettings {
    unsigned baud = 9600;
    unsigned bits = 8;
    char parity = 'n'; // 'n'one, 'e'ven or 'o'dd
    char flow = 'n';   // 'n'one, 's'oft (XON/XOFF) or 'h'ard (RTS/CTS)
};

// Where a direct printer is, parsed from its URI (each transport's file gives its grammar).
// Every system reads every spelling; a system without the transport refuses it when the
// device is made (CheckTransport):
//   socket://HOST[:PORT][?timeout=S+snmp=COMMUNITY|off]  AppSocket (port 9100 by default)
//   ipp://HOST[:PORT][/PATH][?timeout=S], ipps:// an IPP printer or a remote queue
//   serial:/dev/PATH or serial:COMn
//       [?baud=N+bits=7|8+parity=none|even|odd+flow=none|soft|hard][+timeout=S]
//   file:/dev/PATH[?timeout=S], file:///dev/PATH  a character device, such as /dev/usb/lp0
//   file:LPTn, file:C:\PATH  a Windows device or file
//   usb://MAKE/MODEL[?serial=N+timeout=S]  a printer on the Windows USB printing class driver,
//       named from its IEEE 1284 device ID (MAKE and MODEL percent-encoded, as %20 for a space)
// socket://, serial:, file: and usb:// also take status=escpos|zpl: the printer's language,
// in which its status is asked and, when the caller waits, whether it printed a job.
struct DeviceUri {
    enum class Kind { Socket, Ipp, Ipps, Serial, File, Usb };
    // A status query in the printer's own language, sent only when asked: `status=escpos`
    // or `status=zpl`.
    enum class Probe { None, EscPos, Zpl };

    std::string text; // as given
    Kind kind = Kind::Socket;
    std::string host;
    int port = 0;
    std::string path; // the IPP resource, the device file, or the port (COM7, LPT1)
    // The longest wait for a connection, for the device to take another byte (a stall), or
    // for it to end a job it holds whole.
    std::chrono::seconds timeout{10};
    SerialSettings serial;
    // The SNMP community a socket:// printer's status is asked with; empty for `snmp=off`.
    std::string snmpCommunity = "public";
    Probe probe = Probe::None;
    // A usb:// printer: its make and model as its device ID gives them, and the serial
    // number of its USB instance, empty to take the first printer of that make and model.
    struct UsbPrinter {
        std::string make;
        std::string model;
        std::string serialNumber;
    } usb;
};

// The query named "escpos" or "zpl", or none for ""; throws BadDeviceUri for another name.
DeviceUri::Probe ProbeNamed(std::string_view name);

// A URI that names no device this system can reach; the message says why.
struct BadDeviceUri : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

DeviceUri ParseDeviceUri(std::string_view text);

// Whether `text` is written as a device URI rather than as a printer's name.
bool LooksLikeDeviceUri(std::string_view text);

// Whether `path` is written as a Windows device or file (COM7, LPT1, C:\out\r.bin) rather
// than as a POSIX path.
bool IsWindowsPath(std::string_view path);

// Throws BadDeviceUri, saying why, when this system has no transport for `uri` (usb:// on
// Linux, ipp:// on Windows) or the URI names the device in another system's spelling.
// Each system's transports define it.
void CheckTransport(const DeviceUri& uri);

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

// The open connection to a printer both ways, for a query in the printer's own language.
// Every call ends at once, failing, once the device is interrupted.
class Channel {
public:
    virtual ~Channel() = default;
    // Sends every byte by `deadline`; false when it could not.
    virtual bool Send(std::string_view bytes, Clock::time_point deadline) = 0;
    // Waits until `deadline` for more of an answer and appends it to `answer`; false at the
    // deadline with nothing new, at the end of the connection, on failure or interruption.
    virtual bool ReceiveMore(std::string& answer, Clock::time_point deadline) = 0;
    // Drops whatever the printer sent that nobody asked for yet, without waiting.
    virtual void DiscardUnread() = 0;
    virtual bool interrupted() const noexcept = 0;
};

// Asks the printer over its open connection, which holds a whole document, whether it has
// printed it; ends at once when the device is interrupted.
using PrintingConfirmer = std::function<PrintingConfirmation(Channel& channel)>;

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
    // the printer's own language may then go over channel(), and nothing else. As Connect
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
    // a device with a connection both ways (channel()) can ask.
    void ConfirmPrinting(PrintingConfirmer confirm) { confirm_ = std::move(confirm); }
    // After Finish: what the printer said of the document's printing; nothing when it was not
    // asked.
    const std::optional<PrintingConfirmation>& confirmation() const noexcept { return confirmation_; }

    // The open connection, after Connect, for a status query in the printer's own language
    // (written and read by the caller's thread only); null where there is none.
    virtual Channel* channel() noexcept { return nullptr; }
    // Whether the device is a printer port (a parallel or USB printer) whose status lines
    // AskPort reads.
    virtual bool onPrinterPort() const noexcept { return false; }
    // After Connect or ConnectToLook, for a device on a printer port: what the port tells of
    // the printer, its status lines and its IEEE 1284 device ID; nothing when it cannot tell.
    virtual std::optional<StatusFacts> AskPort() { return std::nullopt; }
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
                               std::optional<Clock::time_point> deadline, const StateListener& onState,
                               ipp::Subscription events = {});
    // For a device that keeps jobs and tells their events: whether to subscribe to them as
    // each document starts, before its job could end, so that a follower hears how the job
    // ended even where the printer forgets it at once; events() is then that subscription.
    virtual void SubscribeAtStart(bool subscribe) noexcept { (void)subscribe; }
    virtual ipp::Subscription events() const noexcept { return {}; }

protected:
    bool Fail(std::string reason)
    {
        failure_ = std::move(reason);
        return false;
    }
    // Counts `bytes` more of the document in progress handed to the system (handed()); the
    // write under way, if any, has ended.
    void Handed(std::uint64_t bytes) noexcept
    {
        handed_ += bytes;
        underWay_ = 0;
    }
    // A write of `bytes` handed to the system and not ended: until it ends, the system may have
    // passed any of them on, whatever a cancelled one later says it moved.
    void UnderWay(std::uint64_t bytes) noexcept { underWay_ = bytes; }
    // The bytes of the document in progress handed to the system.
    std::uint64_t handed() const noexcept { return handed_; }
    // Those, and the bytes of a write under way: what the device may have had by now. The
    // write under way is read first, as Handed() clears it last.
    std::uint64_t offered() const noexcept
    {
        const std::uint64_t underWay = underWay_;
        return handed_ + underWay;
    }
    // A write that failed: ends the document (Abort) and fails with `reason`; `stalled` when
    // the device took nothing for the timeout.
    bool FailWrite(std::string reason, bool stalled);
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
    // Asks the printer over channel() whether it has printed the document it holds, when
    // asked to (ConfirmPrinting); confirmation() then says what it answered.
    void Confirm();
    // "the printer had acknowledged 16,384 of 65,536 bytes and may print them", where `had`
    // is "the printer had acknowledged", or that nothing will print when it had none.
    static std::string Taken(const std::string& had, std::uint64_t taken, std::uint64_t sent);

private:
    std::string failure_;
    bool stalled_ = false;
    std::atomic<std::uint64_t> handed_ = 0;
    std::atomic<std::uint64_t> underWay_ = 0;
    mutable std::mutex takenMutex_;
    std::string taken_;
    bool noted_ = false; // for the document in progress
    bool tookNone_ = false;
    PrintingConfirmer confirm_;
    std::optional<PrintingConfirmation> confirmation_;
};

// The device a URI names, by this system's transports; throws BadDeviceUri as CheckTransport
// does.
std::unique_ptr<Device> MakeDevice(const DeviceUri& uri);

// ---- device_id.cpp, port_status.cpp: IEEE 1284 device IDs and a printer port's status ---

// The parts of an IEEE 1284 device ID that name a printer and its languages.
struct DeviceId {
    std::string manufacturer;
    std::string model;
    std::string commandSet; // the languages, comma-separated: "ESC/POS,ZPL"
};

// Reads "MFG:Acme;MDL:TM-42;CMD:ESC/POS;" and its long spelling (MANUFACTURER, MODEL,
// COMMAND SET), keys in any letter case; a key missing leaves its part empty.
DeviceId ParseDeviceId(std::string_view id);

// What a printer port's status lines say, as the system's printer driver reads them (the
// parallel port's lines, or the status byte a USB printer gives for them): 1 on a line
// means paper out (LP_POUTPA) or selected, that is online (LP_PSELECD); 0 on LP_PERRORP
// means an error.
StatusFacts DecodePortStatus(int bits);

// The device ID in a printer port's reply to the device ID request (`reply`: the bytes read),
// without the two-octet length before it, which counts itself; empty when there is none.
std::string DeviceIdOfPortReply(std::string_view reply);

} // namespace rawlet::direct
