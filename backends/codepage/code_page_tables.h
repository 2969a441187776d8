#pragma once

#include <array>
#include <span>
#include <string>

#include <rawlet/codepage/code_page_pair.h>

namespace rawlet::codepage {

// What Windows does with each byte of one ANSI code page.
struct AnsiPageTable {
    int codePage;
    // The Unicode character of each byte; bytes the page leaves undefined keep the
    // characters Windows gives them, so every byte survives a trip through UTF-8.
    std::array<char16_t, 256> unicode;
    // Each byte upper-cased; bytes without an upper-case form in the page map to themselves.
    std::array<unsigned char, 256> upper;
};

// What Windows' ANSI-to-OEM translation gives for each byte under one code-page pair,
// replacements for characters the OEM page lacks included.
struct OemTranslationTable {
    CodePagePair pair;
    std::array<unsigned char, 256> toOem;
};

// The tables there are, generated from Windows' behaviour (code_page_tables.cpp).
std::span<const AnsiPageTable> AnsiPageTables();
std::span<const OemTranslationTable> OemTranslationTables();

// Each returns the table, or throws UnsupportedCodePage naming what is supported.
const AnsiPageTable& FindAnsiPage(int codePage);
const OemTranslationTable& FindOemTranslation(CodePagePair pair);

} // namespace rawlet::codepage
