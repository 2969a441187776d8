#include "utf8.h"

#include <optional>

namespace rawlet::codepage {
namespace {

// What a lead byte announces: the sequence's length, the range its second byte must fall
// in (narrower for leads that could otherwise start overlong forms, surrogates or values
// past U+10FFFF), and the lead's payload bits.
struct Lead {
    std::size_t length;
    unsigned secondMin;
    unsigned secondMax;
    char32_t bits;
};

std::optional<Lead> ReadLead(unsigned char byte)
{
    if (byte < 0x80)
        return Lead{1, 0, 0, byte};
    if (byte < 0xC2)
        return std::nullopt;
    if (byte < 0xE0)
        return Lead{2, 0x80, 0xBF, byte & 0x1Fu};
    if (byte < 0xF0)
        return Lead{3, byte == 0xE0 ? 0xA0u : 0x80u, byte == 0xED ? 0x9Fu : 0xBFu, byte & 0x0Fu};
    if (byte < 0xF5)
        return Lead{4, byte == 0xF0 ? 0x90u : 0x80u, byte == 0xF4 ? 0x8Fu : 0xBFu, byte & 0x07u};
    return std::nullopt;
}

void AppendByte(std::string& text, char32_t value) { text.push_back(static_cast<char>(value)); }

} // namespace

Utf8Sequence DecodeUtf8(std::string_view text)
{
    const std::optional<Lead> lead = ReadLead(static_cast<unsigned char>(text[0]));
    if (!lead)
        return {Utf8Sequence::Kind::IllFormed, 0, 1};
    char32_t codePoint = lead->bits;
    for (std::size_t i = 1; i < lead->length; ++i) {
        if (i == text.size())
            return {Utf8Sequence::Kind::Incomplete, 0, i};
        const auto byte = static_cast<unsigned char>(text[i]);
        const unsigned min = i == 1 ? lead->secondMin : 0x80u;
        const unsigned max = i == 1 ? lead->secondMax : 0xBFu;
        if (byte < min || byte > max)
            return {Utf8Sequence::Kind::IllFormed, 0, i};
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    return {Utf8Sequence::Kind::Character, codePoint, lead->length};
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint < 0x80) {
        AppendByte(text, codePoint);
    } else if (codePoint < 0x800) {
        AppendByte(text, 0xC0 | (codePoint >> 6));
        AppendByte(text, 0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        AppendByte(text, 0xE0 | (codePoint >> 12));
        AppendByte(text, 0x80 | ((codePoint >> 6) & 0x3F));
        AppendByte(text, 0x80 | (codePoint & 0x3F));
    } else {
        AppendByte(text, 0xF0 | (codePoint >> 18));
        AppendByte(text, 0x80 | ((codePoint >> 12) & 0x3F));
        AppendByte(text, 0x80 | ((codePoint >> 6) & 0x3F));
        AppendByte(text, 0x80 | (codePoint & 0x3F));
    }
}

} // namespace rawlet::codepage
