#include "json_text.h"

#include <cstdint>
#include <cstdio>

namespace rawlet::bridge {

namespace {

// The length of the UTF-8 sequence at the start of `text`; 0 when it is not one.
std::size_t SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size())
        return 0;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

std::string Escaped(std::string_view text, bool quotes)
{
    std::string json;
    while (!text.empty()) {
        const std::size_t length = SequenceLength(text);
        const char c = text[0];
        if (length == 0) {
            json += "\xEF\xBF\xBD";
            text.remove_prefix(1);
            continue;
        }
        if (c == '\\' || (quotes && c == '"')) {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            json += escaped;
        } else {
            json.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return json;
}

} // namespace

std::string JsonString(std::string_view text) { return "\"" + Escaped(text, true) + "\""; }

std::string OneLine(std::string_view text) { return Escaped(text, false); }

} // namespace rawlet::bridge
