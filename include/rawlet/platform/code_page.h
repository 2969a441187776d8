#pragma once

#include <string>
#include <string_view>

namespace rawlet::platform {

// The system's single-byte code pages: the ANSI one the control's text is in, and the OEM
// (DOS) one that many printers' character sets follow.
class CodePage {
public:
    virtual ~CodePage() = default;

    // Translates every byte of `ansi` from the ANSI to the OEM code page, NUL bytes
    // included, into `oem`, which has room for exactly `ansi.size()` bytes. May translate
    // in place (`oem == ansi.data()`). Never fails: a byte without an OEM form gets the
    // replacement the system chooses.
    virtual void CharToOemBuffA(std::string_view ansi, char* oem) const = 0;

    // Upper-cases ANSI text by the system's rules, byte for byte (the result has the same
    // length). Used to compare printer names without regard to letter case.
    virtual std::string CharUpperBuffA(std::string_view ansi) const = 0;
};

} // namespace rawlet::platform
