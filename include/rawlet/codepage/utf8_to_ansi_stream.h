#pragma once

#include <string>
#include <string_view>

#include <rawlet/codepage/ansi_charset.h>

namespace rawlet::codepage {

// Converts UTF-8 text that arrives in pieces (a file read in chunks) to an ANSI code page.
// A character split between two pieces is held back until its rest arrives, so the result
// does not depend on where the pieces were cut.
class Utf8ToAnsiStream {
public:
    // `charset` must outlive the stream.
    explicit Utf8ToAnsiStream(const AnsiCharset& charset) : charset_(&charset) {}

    // The ANSI form of every complete character so far.
    std::string Convert(std::string_view piece);

    // Ends the text: a character still cut off becomes the default character.
    std::string Finish();

private:
    const AnsiCharset* charset_;
    std::string pending_;
};

} // namespace rawlet::codepage
