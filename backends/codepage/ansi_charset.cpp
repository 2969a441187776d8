#include <rawlet/codepage/ansi_charset.h>

#include "code_page_tables.h"
#include "utf8.h"
#include <rawlet/codepage/utf8_to_ansi_stream.h>

namespace rawlet::codepage {

AnsiCharset::AnsiCharset(int codePage) : table_(&FindAnsiPage(codePage))
{
    for (std::size_t byte = 0; byte < table_->unicode.size(); ++byte)
        bytesByCharacter_.emplace(table_->unicode[byte], static_cast<char>(byte));
}

int AnsiCharset::codePage() const noexcept { return table_->codePage; }

char AnsiCharset::Encode(char32_t codePoint) const
{
    const auto found = bytesByCharacter_.find(codePoint);
    return found == bytesByCharacter_.end() ? kDefaultChar : found->second;
}

std::string AnsiCharset::Utf8ToAnsi(std::string_view utf8) const
{
    Utf8ToAnsiStream stream(*this);
    std::string ansi = stream.Convert(utf8);
    ansi += stream.Finish();
    return ansi;
}

std::string AnsiCharset::AnsiToUtf8(std::string_view ansi) const
{
    std::string utf8;
    utf8.reserve(ansi.size());
    for (const char byte : ansi)
        AppendUtf8(utf8, table_->unicode[static_cast<unsigned char>(byte)]);
    return utf8;
}

} // namespace rawlet::codepage
