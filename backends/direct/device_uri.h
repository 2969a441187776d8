#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rawlet::direct {

// How a serial line is set up: `serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=none`.
struct SerialSettings {
    unsigned baud = 9600;
    unsigned bits = 8;
    char parity = 'n'; // 'n'one, 'e'ven or 'o'dd
    char flow = 'n';   // 'n'one, 's'oft (XON/XOFF) or 'h'ard (RTS/CTS)
};

// Where a direct printer is, parsed from its URI:
//   socket://HOST[:PORT][?timeout=S+snmp=COMMUNITY|off]  AppSocket (port 9100 by default)
//   ipp://HOST[:PORT][/PATH][?timeout=S], ipps:// an IPP printer or a remote queue
//   serial:/dev/PATH[?baud=N+bits=7|8+parity=none|even|odd+flow=none|soft|hard][+timeout=S]
//   file:/dev/PATH[?timeout=S], file:///dev/PATH  a character device, such as /dev/usb/lp0
// socket://, serial: and file: also take status=escpos|zpl.
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

} // namespace rawlet::direct
