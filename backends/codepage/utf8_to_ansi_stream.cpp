#include <rawlet/codepage/utf8_to_ansi_stream.h>

#include "utf8.h"

namespace rawlet::codepage {

std::string Utf8ToAnsiStream::Convert(std::string_view piece)
{
    pending_.append(piece);
    std::string ansi;
    ansi.reserve(pending_.size());
    std::string_view rest = pending_;
    while (!rest.empty()) {
        const Utf8Sequence sequence = DecodeUtf8(rest);
        if (sequence.kind == Utf8Sequence::Kind::Incomplete)
            break;
        const bool isCharacter = sequence.kind == Utf8Sequence::Kind::Character;
        ansi += isCharacter ? charset_->Encode(sequence.codePoint) : AnsiCharset::kDefaultChar;
        rest.remove_prefix(sequence.length);
    }
    pending_.erase(0, pending_.size() - rest.size());
    return ansi;
}

std::string Utf8ToAnsiStream::Finish()
{
    // What is left is at most one cut-off character, replaced as a whole.
    const bool cutOff = !pending_.empty();
    pending_.clear();
    return cutOff ? std::string(1, AnsiCharset::kDefaultChar) : std::string();
}

} // namespace rawlet::codepage
