#include "win32_code_page.h"

#include <windows.h>

namespace rawlet::win32 {

namespace {

// The user32 calls take a 32-bit length; longer texts go in pieces. Both conversions
// are byte for byte in the single-byte code pages, so pieces join up exactly.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;

} // namespace

// The Buff form takes the length, so NUL bytes are translated like the rest instead of
// ending the text.
void Win32CodePage::CharToOemBuffA(std::string_view ansi, char* oem) const
{
    for (std::size_t done = 0; done < ansi.size(); done += kMaxPiece) {
        const std::string_view piece = ansi.substr(done, kMaxPiece);
        ::CharToOemBuffA(piece.data(), oem + done, static_cast<DWORD>(piece.size()));
    }
}

std::string Win32CodePage::CharUpperBuffA(std::string_view ansi) const
{
    std::string upper(ansi);
    for (std::size_t done = 0; done < upper.size(); done += kMaxPiece) {
        const std::size_t length = std::min(kMaxPiece, upper.size() - done);
        ::CharUpperBuffA(upper.data() + done, static_cast<DWORD>(length));
    }
    return upper;
}

} // namespace rawlet::win32
