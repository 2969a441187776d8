#pragma once

#include <stdexcept>
#include <string>

namespace rawlet::codepage {

// The two code pages a system pairs: the ANSI one its text is in, and the OEM (DOS) one.
struct CodePagePair {
    int ansi;
    int oem;
    bool operator==(const CodePagePair& other) const { return ansi == other.ansi && oem == other.oem; }
    bool operator!=(const CodePagePair& other) const { return !(*this == other); }
};

// Thrown when asked for a code page or pair there are no tables for, or when an override
// is not a number. The message says what was asked and what is available, ready to print.
class UnsupportedCodePage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace rawlet::codepage
