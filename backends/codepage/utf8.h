#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rawlet::codepage {

// The first UTF-8 sequence of a text.
struct Utf8Sequence {
    enum class Kind {
        Character,  // a well-formed character, `codePoint`
        IllFormed,  // bytes no character starts with: replace them with one default character
        Incomplete, // a well-formed start cut off by the end of the text
    };
    Kind kind;
    char32_t codePoint;
    // Bytes taken: the character's, or the longest ill-formed part that may be replaced as
    // one (so that a bad byte never swallows the good character after it).
    std::size_t length;
};

// Decodes the sequence at the start of `text`, which must not be empty. Overlong forms,
// surrogates and values past U+10FFFF are ill-formed.
Utf8Sequence DecodeUtf8(std::string_view text);

// Appends the UTF-8 form of a Unicode character.
void AppendUtf8(std::string& text, char32_t codePoint);

} // namespace rawlet::codepage
