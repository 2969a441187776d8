// Document names cut to what IPP carries, without splitting a character.
#include <string>

#include <gtest/gtest.h>

#include "shared_ipp.h"

namespace rawlet::testing {
namespace {

using ipp::IppName;
using ipp::kIppNameOctets;

TEST(IppNameTest, ShortAndExactNamesStayWhole)
{
    EXPECT_EQ(IppName("receipt.txt"), "receipt.txt");
    const std::string exact(kIppNameOctets, 'a');
    EXPECT_EQ(IppName(exact), exact);
}

// A character of two, three or four octets that would straddle octet 255 is left out whole.
TEST(IppNameTest, LongNamesEndOnACharacterBoundary)
{
    for (const std::string character : {"\xc3\xbc", "\xe2\x82\xac", "\xf0\x9f\x96\xa8"}) {
        for (std::size_t lead = 0; lead < character.size(); ++lead) {
            std::string name(lead, 'a');
            while (name.size() < 2 * kIppNameOctets)
                name += character;
            const std::string cut = IppName(name);
            EXPECT_LE(cut.size(), kIppNameOctets);
            EXPECT_GT(cut.size(), kIppNameOctets - character.size());
            EXPECT_EQ((cut.size() - lead) % character.size(), 0u) << "character split after lead " << lead;
            EXPECT_EQ(name.compare(0, cut.size(), cut), 0);
        }
    }
}

// Bytes that are not UTF-8 (an ANSI name) lose at most three octets more, never the whole name.
TEST(IppNameTest, NonUtf8NamesAreCutAtTheLimit)
{
    EXPECT_EQ(IppName(std::string(1000, '\x80')).size(), kIppNameOctets - 3);
    EXPECT_EQ(IppName(std::string(1000, '\xe9')), std::string(kIppNameOctets, '\xe9'));
}

} // namespace
} // namespace rawlet::testing
