#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include <rawlet/codepage/code_page_pair.h>

namespace rawlet::codepage {

struct AnsiPageTable;

// The characters of one ANSI code page, for moving text between UTF-8 and the page's bytes.
// Every byte of the page survives AnsiToUtf8 followed by Utf8ToAnsi.
class AnsiCharset {
public:
    // What a character the page cannot represent becomes, as Windows' default character.
    static constexpr char kDefaultChar = '?';

    // Throws UnsupportedCodePage when there is no table for the page.
    explicit AnsiCharset(int codePage);

    int codePage() const noexcept;

    // The page's byte for a Unicode character, or kDefaultChar when it has none.
    char Encode(char32_t codePoint) const;

    // Converts a whole UTF-8 text. Each ill-formed or cut-off sequence becomes one
    // kDefaultChar. For text arriving in pieces, use Utf8ToAnsiStream.
    std::string Utf8ToAnsi(std::string_view utf8) const;

    // Converts the page's bytes to UTF-8 for display.
    std::string AnsiToUtf8(std::string_view ansi) const;

private:
    const AnsiPageTable* table_;
    std::unordered_map<char32_t, char> bytesByCharacter_;
};

} // namespace rawlet::codepage
