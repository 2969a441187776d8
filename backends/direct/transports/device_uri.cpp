#include "transports.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <vector>

namespace rawlet::direct {

namespace {

constexpr int kAppSocketPort = 9100;
constexpr int kIppPort = 631;
constexpr unsigned kLongestTimeout = 3600;

unsigned Number(std::string_view text, std::string_view what, unsigned lowest, unsigned highest)
{
    unsigned value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        throw BadDeviceUri(std::string(what) + " must be a number from " + std::to_string(lowest) + " to " +
                           std::to_string(highest) + ", not '" + std::string(text) + "'");
    return value;
}

// "a=1+b=2" (or "a=1&b=2") as a map; the same key twice, or one without a value, is wrong.
std::map<std::string, std::string> Options(std::string_view query)
{
    std::map<std::string, std::string> options;
    while (!query.empty()) {
        const std::size_t end = query.find_first_of("+&");
        const std::string_view option = query.substr(0, end);
        const std::size_t equals = option.find('=');
        if (equals == std::string_view::npos || equals == 0)
            throw BadDeviceUri("option '" + std::string(option) + "' is not NAME=VALUE");
        if (!options.emplace(option.substr(0, equals), option.substr(equals + 1)).second)
            throw BadDeviceUri("option '" + std::string(option.substr(0, equals)) + "' is given twice");
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    }
    return options;
}

char Choice(const std::string& value, std::string_view what, const std::vector<std::string>& allowed)
{
    for (const std::string& choice : allowed)
        if (value == choice)
            return choice.front();
    std::string list;
    for (const std::string& choice : allowed)
        list += (list.empty() ? "" : ", ") + choice;
    throw BadDeviceUri(std::string(what) + " must be one of " + list + ", not '" + value + "'");
}

void ApplyOptions(DeviceUri& uri, std::string_view query)
{
    for (const auto& [name, value] : Options(query)) {
        const bool serial = uri.kind == DeviceUri::Kind::Serial;
        const bool usb = uri.kind == DeviceUri::Kind::Usb;
        const bool ipp = uri.kind == DeviceUri::Kind::Ipp || uri.kind == DeviceUri::Kind::Ipps;
        if (name == "timeout")
            uri.timeout = std::chrono::seconds(Number(value, "timeout", 1, kLongestTimeout));
        else if (serial && name == "baud")
            uri.serial.baud = Number(value, "baud", 50, 4000000);
        else if (serial && name == "bits")
            uri.serial.bits = Number(value, "bits", 7, 8);
        else if (serial && name == "parity")
            uri.serial.parity = Choice(value, "parity", {"none", "even", "odd"});
        else if (serial && name == "flow")
            uri.serial.flow = Choice(value, "flow", {"none", "soft", "hard"});
        else if (usb && name == "serial")
            uri.usb.serialNumber = value;
        else if (uri.kind == DeviceUri::Kind::Socket && name == "snmp")
            uri.snmpCommunity = value == "off" ? "" : value;
        else if (!ipp && name == "status")
            uri.probe = Choice(value, "status", {"escpos", "zpl"}) == 'e' ? DeviceUri::Probe::EscPos
                                                                          : DeviceUri::Probe::Zpl;
        else
            throw BadDeviceUri("unknown option '" + name + "'");
    }
}

// HOST[:PORT], with [IPV6] allowed as the host.
void ParseAuthority(DeviceUri& uri, std::string_view authority, int defaultPort)
{
    std::string_view port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            throw BadDeviceUri("unclosed '[' in the host");
        uri.host = authority.substr(1, close - 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            throw BadDeviceUri("unexpected text after the host");
        port = rest.empty() ? rest : rest.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        uri.host = authority.substr(0, colon);
        port = colon == std::string_view::npos ? std::string_view() : authority.substr(colon + 1);
    }
    if (uri.host.empty())
        throw BadDeviceUri("no host");
    uri.port = port.empty() ? defaultPort : static_cast<int>(Number(port, "port", 1, 65535));
}

std::pair<std::string_view, std::string_view> SplitQuery(std::string_view text)
{
    const std::size_t question = text.find('?');
    if (question == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, question), text.substr(question + 1)};
}

void ParseNetwork(DeviceUri& uri, std::string_view rest)
{
    if (!rest.starts_with("//"))
        throw BadDeviceUri("expected '//' after the scheme");
    const auto [location, query] = SplitQuery(rest.substr(2));
    const std::size_t slash = location.find('/');
    const bool socket = uri.kind == DeviceUri::Kind::Socket;
    ParseAuthority(uri, location.substr(0, slash), socket ? kAppSocketPort : kIppPort);
    uri.path = slash == std::string_view::npos ? "" : location.substr(slash);
    if (!socket && uri.path.empty())
        uri.path = "/"; // a printer at the root, as some are
    if (socket && !uri.path.empty() && uri.path != "/")
        throw BadDeviceUri("an AppSocket URI has no path");
    ApplyOptions(uri, query);
}

bool IsPort(std::string_view name, std::string_view kind)
{
    if (name.size() <= kind.size() ||
        !std::ranges::equal(name.substr(0, kind.size()), kind,
                            [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; }))
        return false;
    const std::string_view number = name.substr(kind.size());
    return number.front() != '0' && std::ranges::all_of(number, [](char c) { return c >= '0' && c <= '9'; });
}

// C:\out\r.bin or C:/out/r.bin
bool IsDrivePath(std::string_view path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

void ParseLocal(DeviceUri& uri, std::string_view rest)
{
    auto [path, query] = SplitQuery(rest);
    if (path.starts_with("///")) // file:///dev/usb/lp0, with the empty host that lpstat -v shows
        path.remove_prefix(2);
    const bool windows = uri.kind == DeviceUri::Kind::Serial ? IsPort(path, "COM") : IsWindowsPath(path);
    if (!windows && (!path.starts_with('/') || path.starts_with("//")))
        throw BadDeviceUri(
            uri.kind == DeviceUri::Kind::Serial
                ? "expected an absolute device path, as in serial:/dev/ttyS0, or a port, as in "
                  "serial:COM7"
                : "expected an absolute device path, as in file:/dev/usb/lp0, or a Windows "
                  "device or file, as in file:LPT1 or file:C:\\out\\r.bin");
    uri.path = path;
    ApplyOptions(uri, query);
}

// "%20" and the like as the bytes they stand for.
std::string PercentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            decoded.push_back(text[at]);
            continue;
        }
        unsigned byte = 0;
        const char* digits = text.data() + at + 1;
        if (text.size() - at < 3 || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2)
            throw BadDeviceUri("'%' is not followed by two hexadecimal digits");
        decoded.push_back(static_cast<char>(byte));
        at += 2;
    }
    return decoded;
}

// usb://MAKE/MODEL[?serial=N]
void ParseUsb(DeviceUri& uri, std::string_view rest)
{
    if (!rest.starts_with("//"))
        throw BadDeviceUri("expected '//' after the scheme");
    const auto [location, query] = SplitQuery(rest.substr(2));
    const std::size_t slash = location.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash + 1 == location.size() ||
        location.find('/', slash + 1) != std::string_view::npos)
        throw BadDeviceUri("expected usb://MAKE/MODEL");
    uri.usb.make = PercentDecoded(location.substr(0, slash));
    uri.usb.model = PercentDecoded(location.substr(slash + 1));
    ApplyOptions(uri, query);
}

} // namespace

DeviceUri ParseDeviceUri(std::string_view text)
{
    static const std::map<std::string_view, DeviceUri::Kind> kSchemes = {
        {"socket", DeviceUri::Kind::Socket}, {"ipp", DeviceUri::Kind::Ipp},   {"ipps", DeviceUri::Kind::Ipps},
        {"serial", DeviceUri::Kind::Serial}, {"file", DeviceUri::Kind::File}, {"usb", DeviceUri::Kind::Usb},
    };
    DeviceUri uri;
    uri.text = text;
    const std::size_t colon = text.find(':');
    const auto scheme =
        colon == std::string_view::npos ? kSchemes.end() : kSchemes.find(text.substr(0, colon));
    if (scheme == kSchemes.end())
        throw BadDeviceUri("'" + uri.text +
                           "' is not a device URI (socket://, ipp://, ipps://, serial: or file:)");
    uri.kind = scheme->second;
    try {
        if (uri.kind == DeviceUri::Kind::Serial || uri.kind == DeviceUri::Kind::File)
            ParseLocal(uri, text.substr(colon + 1));
        else if (uri.kind == DeviceUri::Kind::Usb)
            ParseUsb(uri, text.substr(colon + 1));
        else
            ParseNetwork(uri, text.substr(colon + 1));
    } catch (const BadDeviceUri& problem) {
        throw BadDeviceUri("'" + uri.text + "': " + problem.what());
    }
    return uri;
}

bool LooksLikeDeviceUri(std::string_view text)
{
    for (const std::string_view prefix : {"socket:", "ipp:", "ipps:", "serial:", "file:", "usb:"})
        if (text.starts_with(prefix))
            return true;
    return false;
}

bool IsWindowsPath(std::string_view path)
{
    return IsPort(path, "COM") || IsPort(path, "LPT") || IsDrivePath(path);
}

} // namespace rawlet::direct
