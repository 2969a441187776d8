#include "printer_text.h"

#include <cstdio>

#include "utf8.h"

namespace rawlet::text {

namespace {

// One character of UTF-8 text, or one byte that begins none.
struct Character {
    std::string_view bytes;
    char32_t code = 0;
    bool valid = false;
};

// The character `text` (not empty) begins with, or else its first byte alone: each byte of a
// sequence that is not UTF-8 is shown for itself.
Character FirstCharacter(std::string_view text)
{
    const codepage::Utf8Sequence sequence = codepage::DecodeUtf8(text);
    if (sequence.kind != codepage::Utf8Sequence::Kind::Character)
        return {text.substr(0, 1), static_cast<unsigned char>(text[0]), false};
    return {text.substr(0, sequence.length), sequence.codePoint, true};
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

namespace {

std::string JsonEscaped(std::string_view text, bool quotes)
{
    std::string json;
    ForEachCharacter(text, [&json, quotes](const Character& character) {
        if ((quotes && character.bytes == "\"") || character.bytes == "\\")
            json += "\\" + std::string(character.bytes);
        else if (!character.valid)
            json += "\\ufffd";
        else if (IsControl(character.code))
            json += Formatted("\\u%04x", character.code);
        else
            json += character.bytes;
    });
    return json;
}

} // namespace

std::string JsonString(std::string_view text) { return "\"" + JsonEscaped(text, true) + "\""; }

std::string OneLine(std::string_view text) { return JsonEscaped(text, false); }

} // namespace rawlet::text
