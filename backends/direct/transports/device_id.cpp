#include "transports.h"

#include <algorithm>
#include <cctype>

namespace rawlet::direct {

namespace {

// The length counts itself; a device ID shorter than this cannot name even a maker and a model.
constexpr std::size_t kShortestPortDeviceId = 14;

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameKey(std::string_view key, std::string_view name)
{
    return key.size() == name.size() && std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

// The part a key names, or none for keys that name something else.
std::string* PartFor(DeviceId& id, std::string_view key)
{
    if (SameKey(key, "MFG") || SameKey(key, "MANUFACTURER"))
        return &id.manufacturer;
    if (SameKey(key, "MDL") || SameKey(key, "MODEL"))
        return &id.model;
    if (SameKey(key, "CMD") || SameKey(key, "COMMAND SET"))
        return &id.commandSet;
    return nullptr;
}

} // namespace

// Where a key is given twice (a printer may give both spellings), the first one counts.
DeviceId ParseDeviceId(std::string_view id)
{
    DeviceId parsed;
    while (!id.empty()) {
        const std::size_t end = std::min(id.find(';'), id.size());
        const std::string_view pair = id.substr(0, end);
        id.remove_prefix(std::min(end + 1, id.size()));
        const std::size_t colon = pair.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string* part = PartFor(parsed, Trimmed(pair.substr(0, colon)));
        if (part && part->empty())
            *part = Trimmed(pair.substr(colon + 1));
    }
    return parsed;
}

// The length is big-endian by the standard, but some printers send it little-endian: the
// order that gives a length the reply can hold counts. A reply with neither, from a printer
// that sends no length at all, is the text before its first NUL.
std::string DeviceIdOfPortReply(std::string_view reply)
{
    if (reply.size() >= 2) {
        const unsigned first = static_cast<unsigned char>(reply[0]);
        const unsigned second = static_cast<unsigned char>(reply[1]);
        for (const std::size_t length : {first * 256 + second, second * 256 + first})
            if (length >= kShortestPortDeviceId && length <= reply.size())
                return std::string(reply.substr(2, length - 2));
    }
    return std::string(reply.substr(0, reply.find('\0')));
}

} // namespace rawlet::direct
