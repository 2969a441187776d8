#include "printer_text.h"

#include <cstdio>

namespace rawlet::cli {

namespace {

// One character of UTF-8 text, or one byte that begins none.
struct Character {
    std::string_view bytes;
    char32_t code = 0;
    bool valid = false;
};

std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        return 2;
    if (lead >= 0xe0 && lead <= 0xef)
        return 3;
    if (lead >= 0xf0 && lead <= 0xf4)
        return 4;
    return 0;
}

// The character `text` (not empty) begins with: a well-formed UTF-8 sequence (no overlong
// form, surrogate or code point past U+10FFFF), or else its first byte alone.
Character FirstCharacter(std::string_view text)
{
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto lead = static_cast<unsigned char>(text[0]);
    const Character invalid{text.substr(0, 1), lead, false};
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || length > text.size())
        return invalid;
    char32_t code = length == 1 ? lead : lead & (0x7fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xc0) != 0x80)
            return invalid;
        code = (code << 6) | (next & 0x3fu);
    }
    if (code < kLeast[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return invalid;
    return {text.substr(0, length), code, true};
}

template <typename Each> void ForEachCharacter(std::string_view text, Each each)
{
    while (!text.empty()) {
        const Character character = FirstCharacter(text);
        each(character);
        text.remove_prefix(character.bytes.size());
    }
}

// C0, DEL and C1: the characters a terminal may obey rather than show.
bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7f && code <= 0x9f); }

std::string Formatted(const char* format, unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string Shown(std::string_view text)
{
    std::string shown;
    ForEachCharacter(text, [&shown](const Character& character) {
        if (character.bytes == "\\")
            shown += "\\\\";
        else if (!character.valid || IsControl(character.code))
            for (const char byte : character.bytes)
                shown += Formatted("\\x%02x", static_cast<unsigned char>(byte));
        else
            shown += character.bytes;
    });
    return shown;
}

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    ForEachCharacter(text, [&json](const Character& character) {
        if (character.bytes == "\"" || character.bytes == "\\")
            json += "\\" + std::string(character.bytes);
        else if (!character.valid)
            json += "\\ufffd";
        else if (IsControl(character.code))
            json += Formatted("\\u%04x", character.code);
        else
            json += character.bytes;
    });
    return json + "\"";
}

} // namespace rawlet::cli
