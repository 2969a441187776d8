#include "device_id.h"

#include <algorithm>
#include <cctype>

namespace rawlet::direct {

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

} // namespace

DeviceId ParseDeviceId(std::string_view id)
{
    DeviceId parsed;
    while (!id.empty()) {
        const std::size_t end = id.find(';');
        const std::string_view field = id.substr(0, end);
        id = end == std::string_view::npos ? std::string_view() : id.substr(end + 1);
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string key = Upper(Trimmed(field.substr(0, colon)));
        const std::string value(Trimmed(field.substr(colon + 1)));
        if (key == "MFG" || key == "MANUFACTURER")
            parsed.manufacturer = value;
        else if (key == "MDL" || key == "MODEL")
            parsed.model = value;
        else if (key == "CMD" || key == "COMMAND SET")
            parsed.commandSet = value;
    }
    return parsed;
}

} // namespace rawlet::direct
