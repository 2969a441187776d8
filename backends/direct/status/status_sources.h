#pragma once

// The sources of a direct printer's status, one file per source: the transport and a
// printer port's status lines (printer_port.cpp), SNMP (snmp.cpp), IPP (the transport's own
// answer), and the printer's own language when asked (escpos.cpp, zpl.cpp). What the rest of
// the direct printers may call is AskDirectStatus; the rest is declared for the sources and
// their tests.

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

// ---- device_id.cpp: IEEE 1284 device IDs ----------------------------------------------

// The parts of an IEEE 1284 device ID that name a printer and its languages.
struct DeviceId {
    std::string manufacturer;
    std::string model;
    std::string commandSet; // the languages, comma-separated: "ESC/POS,ZPL"
};

// Reads "MFG:Acme;MDL:TM-42;CMD:ESC/POS;" and its long spelling (MANUFACTURER, MODEL,
// COMMAND SET), keys in any letter case; a key missing leaves its part empty.
DeviceId ParseDeviceId(std::string_view id);

// The device ID in a printer port's reply to the device ID request (`reply`: the bytes read),
// without the two-octet length before it, which counts itself; empty when there is none.
std::string DeviceIdOfPortReply(std::string_view reply);

// ---- printer_port.cpp: a printer port's status lines ----------------------------------

// What a printer port's status lines say, as the system's printer driver reads them (the
// parallel port's lines, or the status byte a USB printer gives for them): 1 on a line
// means paper out (LP_POUTPA) or selected, that is online (LP_PSELECD); 0 on LP_PERRORP
// means an error.
StatusFacts DecodePortStatus(int bits);
// Asks the printer port open as `fd` (a Linux printer device such as /dev/usb/lp0) for its
// status lines and, where the printer has one, its IEEE 1284 device ID. Nothing when the
// device is not a printer port, or on systems other than Linux.
std::optional<StatusFacts> AskUsbPort(int fd);

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

// ---- escpos.cpp, zpl.cpp, language_query.cpp: the printer's own language ----------------

// Asks an ESC/POS printer for its state with the real-time status queries (DLE EOT 1, 2 and
// 4), which it answers even while offline or in the middle of a job, over the open
// connection `fd` (a socket or a serial line). Returns what the fitting answers tell, or
// nothing when no query got one by `deadline`.
std::optional<StatusFacts> AskEscPos(int fd, Clock::time_point deadline, const Interrupter* interrupter);

// Asks a ZPL printer for its state with the host status query (~HS), which it answers at
// once, even while paused or printing, over the open connection `fd` (a socket or a serial
// line). Returns what its answer tells, or nothing when no whole answer that parses came by
// `deadline`.
std::optional<StatusFacts> AskZpl(int fd, Clock::time_point deadline, const Interrupter* interrupter);

// The exchange of a status query in a printer's own language over an open connection (a
// socket or a serial line), borrowed from its device: nothing here closes it, and no call
// waits past its deadline.
//
// Reads and drops what the printer sent before a query (its answers to earlier ones, which
// came too late, or unasked chatter), so that only the answer to the next query is read.
void DiscardUnread(int fd);
// Sends every byte of a query by `deadline`; false when the printer takes them too slowly,
// the wait is interrupted, or the connection fails.
bool SendQuery(int fd, std::string_view query, Clock::time_point deadline, const Interrupter* interrupter);
// Appends to `answer` what the printer sends, once something has come, waiting until
// `deadline` at most. Returns false when nothing more can come by then: the deadline, an
// interruption, the printer's end of the connection, or a connection that cannot be read
// (a device opened for writing only).
bool ReceiveMore(int fd, std::string& answer, Clock::time_point deadline, const Interrupter* interrupter);

} // namespace rawlet::direct
