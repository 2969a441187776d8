#include "shared_ipp.h"

namespace rawlet::ipp {

namespace {

bool IsContinuationOctet(char octet) { return (static_cast<unsigned char>(octet) & 0xC0) == 0x80; }

} // namespace

std::string IppName(std::string_view text)
{
    if (text.size() <= kIppNameOctets)
        return std::string(text);
    // The octet after the cut continues a character: back off to where that character
    // starts, which in UTF-8 is at most three octets back.
    std::size_t end = kIppNameOctets;
    while (end > kIppNameOctets - 3 && IsContinuationOctet(text[end]))
        --end;
    return std::string(text.substr(0, end));
}

} // namespace rawlet::ipp
