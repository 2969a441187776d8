#pragma once

// The sources of a direct printer's status, one file per source: the transport and a
// printer port's status lines (the transport's AskPort), SNMP (snmp.cpp, where the system has
// net-snmp), IPP (the transport's own answer), and the printer's own language when asked
// (escpos.cpp, zpl.cpp, over the transport's Channel). What the rest of the direct printers
// may call is AskDirectStatus; the rest is declared for the sources and their tests.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/platform/printer_status.h>

#include "transports.h"

namespace rawlet::direct {

// How the direct printer is now, from each source its kind has, in this order: the
// transport (the connection, and a printer port's own status), SNMP for socket:// hosts, IPP
// for ipp:// and ipps://, and the printer's own language only when asked (`probe`, else the
// URI's status=). Nothing goes into the print stream unless asked, and nothing else changes
// on the device: no file emptied, no line set up, nothing dropped. Each source has a short
// deadline within the URI's timeout; one that does not answer is named, and leaves what it
// would have told unknown.
platform::PrinterStatus AskDirectStatus(const std::string& name, const DeviceUri& uri,
                                        DeviceUri::Probe probe);

// ---- status_report.cpp: the sources' facts gathered into one status -------------------

// Gathers what the sources of a direct printer's status told into one status: each fact
// with the source it came from, none made up where no source told it.
class StatusReport {
public:
    explicit StatusReport(std::string name);
    void Answered(const char* source, const StatusFacts& facts);
    void Unanswered(const char* source);
    // Ready only when the printer can be reached, takes jobs, and no source knows of
    // anything that stops it. `failure` is why it could not be reached, if it could not.
    platform::PrinterStatus Finish(bool reachable, const std::string& failure);

private:
    platform::PrinterStatus status_;
    std::optional<bool> accepting_;
    std::string deviceId_;
    std::string description_;
};

// The deadline of each source asked after the transport: a second, or the URI's timeout when
// that is shorter.
Clock::time_point SourceDeadline(const DeviceUri& uri);
// Notes what `source` told, or that it did not answer.
void Record(const char* source, const std::optional<StatusFacts>& facts, StatusReport& report);
// The sources that only some systems have, asked of a printer at `uri` once the transport
// has answered (system_sources.cpp of each system's folder).
void AskSystemSources(const DeviceUri& uri, StatusReport& report);

// ---- snmp.cpp, printer_mib.cpp: SNMP ----------------------------------------------------

constexpr int kSnmpPort = 161;

// What the SNMP agent of a printer at `host` says of it, asked with `community` by the end of
// `deadline`, of the first printer among its devices, whatever its index: its state
// (hrPrinterStatus), the conditions it flags (hrPrinterDetectedErrorState), its description
// (hrDeviceDescr) and its IEEE 1284 device ID (the Printer Port Monitor MIB's). An object the
// agent lacks leaves its fact unknown. Nothing when no agent answers in time, when libnetsnmp
// cannot be loaded or when `community` is empty (SNMP turned off).
std::optional<StatusFacts> AskSnmp(const std::string& host, const std::string& community,
                                   Clock::time_point deadline, int port = kSnmpPort);

// What the values an SNMP agent gives for a printer's Host Resources and Printer MIB objects
// mean in the status model. Each returns nothing for a value it cannot read, so that the fact
// stays unknown.
// hrPrinterStatus (RFC 3805, after RFC 2790).
std::optional<platform::PrinterStatus::State> StateOfPrinterStatus(long hrPrinterStatus);
// hrPrinterDetectedErrorState: the IPP state reasons of the conditions it flags. An empty
// string flags none.
std::vector<std::string> ReasonsOfDetectedErrorState(std::string_view octets);
// hrDeviceDescr, without the padding some agents leave after it.
std::string DeviceDescription(std::string_view octets);
// ppmPrinterIEEE1284DeviceId, without the two-octet length that some printers copy in from
// the port, where the device ID begins with it.
std::string DeviceIdOfPortMonitor(std::string_view octets);

// ---- escpos.cpp, zpl.cpp: the printer's own language -------------------------------------

// Asks an ESC/POS printer for its state with the real-time status queries (DLE EOT 1, 2 and
// 4), which it answers even while offline or in the middle of a job, over the open
// connection `channel` (a socket or a serial line). Returns what the fitting answers tell, or
// nothing when no query got one by `deadline`.
std::optional<StatusFacts> AskEscPos(Channel& channel, Clock::time_point deadline);

// Asks a ZPL printer for its state with the host status query (~HS), which it answers at
// once, even while paused or printing, over the open connection `channel` (a socket or a
// serial line). Returns what its answer tells, or nothing when no whole answer that parses
// came by `deadline`.
std::optional<StatusFacts> AskZpl(Channel& channel, Clock::time_point deadline);

// What a ZPL printer's answer to ~HS tells: its state, and how far it is with the formats
// it was sent.
struct ZplHostStatus {
    StatusFacts facts;
    std::vector<std::string> stoppedBy; // what stops it, as a person says it: "paper out"
    long formatsWaiting = 0;            // in its receive buffer
    bool partialFormat = false;         // one received in part
    long labelsLeft = 0;                // in the batch it prints
};
// AskZpl, with all the answer tells.
std::optional<ZplHostStatus> AskZplHostStatus(Channel& channel, Clock::time_point deadline);

// ---- escpos_confirm.cpp, zpl_confirm.cpp, printing_confirmation.cpp ----------------------
// Whether a printer that holds a whole job has printed it, asked in its own language over
// the open connection `channel` once the job's bytes are all sent. Each waits until
// `deadline` at most, and `silence` at most for the printer to answer anything; each ends at
// once when the channel is interrupted.

// ESC/POS: the process ID response (GS ( H, function 48), which the printer sends once it has
// printed everything before the request, with the real-time status (DLE EOT 2) asked
// meanwhile, which tells of a stop: paper end, cover open, an error.
PrintingConfirmation ConfirmEscPos(Channel& channel, Clock::time_point deadline, Clock::duration silence);
// ZPL: ~HS, asked until no format waits in the receive buffer and no label is left in the
// batch, or it tells of a stop: paper out, paused, head open, ribbon out.
PrintingConfirmation ConfirmZpl(Channel& channel, Clock::time_point deadline, Clock::duration silence);

// The two bounds of a confirmation's wait, and the word it ends with when one passes: a
// printer that answered nothing cannot tell (NoAnswer); one that answered and then fell
// silent has stopped, or gone; one that answers still prints.
class ConfirmationClock {
public:
    ConfirmationClock(Clock::time_point deadline, Clock::duration silence);
    // The printer answered something.
    void Heard();
    // When the wait ends unless the printer is heard from before.
    Clock::time_point wakeAt() const;
    // The word the wait ends with, once past wakeAt(); nothing before.
    std::optional<PrintingConfirmation> Over() const;
    // The word when the connection can carry no more answers (the printer closed it, or it
    // was never readable), or `channel` was interrupted.
    PrintingConfirmation Ended(const Channel& channel) const;

private:
    Clock::time_point deadline_;
    Clock::duration silence_;
    Clock::time_point lastHeard_;
    bool answered_ = false;
};

// The longest a printer is waited for to confirm its printing when the caller sets no limit.
constexpr auto kDefaultConfirmationWait = std::chrono::seconds(60);
// How a printer in `language` is asked to confirm its printing, for at most `limit` (zero: the
// default wait) and the URI's timeout of silence; nothing for a printer whose language is not
// named.
PrintingConfirmer ConfirmerFor(DeviceUri::Probe language, std::chrono::milliseconds limit,
                               std::chrono::seconds silence);

} // namespace rawlet::direct
