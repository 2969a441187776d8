#include <gtest/gtest.h>

#include <string>

#include <rawlet/codepage/table_code_page.h>

namespace rawlet::codepage {
namespace {

std::string ToOem(const TableCodePage& codePage, std::string ansi)
{
    codePage.CharToOemBuffA(ansi, ansi.data());
    return ansi;
}

// National characters of one pair of pages: their ANSI bytes and, in the same order, where
// they sit in the OEM page, read off the two pages' charts.
struct KnownCharacters {
    CodePagePair pair;
    std::string ansi;
    std::string oem;
};

TEST(TableCodePageTest, TranslatesNationalCharactersToTheirOemPositions)
{
    const KnownCharacters known[] = {
        {{1252, 437}, "\xE9\xC4\xDF", "\x82\x8E\xE1"}, // é Ä ß
        {{1252, 850}, "\xE9\xD8\xC0", "\x82\x9D\xB7"}, // é Ø (which 437 lacks) À
        {{1250, 852}, "\xB3\xAF\xE8", "\x88\xBD\x9F"}, // ł Ż č
        {{1251, 866}, "\xC6\xFF\xA8", "\x86\xEF\xF0"}, // Ж я Ё
        {{1253, 737}, "\xD9\xE1", "\x97\x98"},         // Ω α
        {{1254, 857}, "\xFE\xDD\xF0", "\x9F\x98\xA7"}, // ş İ ğ
    };
    for (const KnownCharacters& characters : known)
        EXPECT_EQ(ToOem(TableCodePage(characters.pair), characters.ansi), characters.oem)
            << characters.pair.ansi << "/" << characters.pair.oem;
}

TEST(TableCodePageTest, KeepsAsciiAndReplacesCharactersTheOemPageLacks)
{
    const std::string ascii = "Invoice 42: total = $17.50 (paid) #~{}|\r\n";
    for (const CodePagePair pair : {CodePagePair{1252, 437}, CodePagePair{1250, 852}, CodePagePair{1251, 866},
                                    CodePagePair{1253, 737}, CodePagePair{1254, 857}})
        EXPECT_EQ(ToOem(TableCodePage(pair), ascii), ascii) << pair.ansi << "/" << pair.oem;

    // The euro sign has no place in 437; Windows gives its default character.
    EXPECT_EQ(ToOem(TableCodePage({1252, 437}), "\x80"), "?");
}

TEST(TableCodePageTest, TranslatesEveryByteOfTheBufferInPlaceOrNot)
{
    const TableCodePage codePage({1252, 437});
    const std::string ansi("a\xE9\0\xE9\0\0\xE9z", 8);
    const std::string expected("a\x82\0\x82\0\0\x82z", 8);

    std::string copy(ansi.size(), 'x');
    codePage.CharToOemBuffA(ansi, copy.data());
    EXPECT_EQ(copy, expected);

    std::string inPlace = ansi;
    codePage.CharToOemBuffA(inPlace, inPlace.data());
    EXPECT_EQ(inPlace, expected);
}

TEST(TableCodePageTest, UpperCasesNonAsciiLettersByTheAnsiPage)
{
    EXPECT_EQ(TableCodePage({1252, 850}).CharUpperBuffA("Drucker B\xFCro \xE9t\xE9 \xFF"),
              "DRUCKER B\xDCRO \xC9T\xC9 \x9F");
    EXPECT_EQ(TableCodePage({1250, 852}).CharUpperBuffA("gda\xF1sk \xBFory \xB3\xF3w"),
              "GDA\xD1SK \xAFORY \xA3\xD3W"); // gdańsk żory łów
    EXPECT_EQ(TableCodePage({1251, 866}).CharUpperBuffA("\xE6\xF3\xEA \xB8"), "\xC6\xD3\xCA \xA8"); // жук ё
    EXPECT_EQ(TableCodePage({1253, 737}).CharUpperBuffA("\xE1\xE2\xDC"), "\xC1\xC2\xA2");           // αβά
    EXPECT_EQ(TableCodePage({1254, 857}).CharUpperBuffA("\xF0\xFE\xE7"), "\xD0\xDE\xC7");           // ğşç
}

TEST(TableCodePageTest, UpperCasingKeepsLengthAndLettersWithoutCapitals)
{
    const TableCodePage codePage({1252, 437});
    // ß has no single-byte capital, and NUL must not end the text.
    EXPECT_EQ(codePage.CharUpperBuffA(std::string("gro\xDF\0x", 6)), std::string("GRO\xDF\0X", 6));
}

TEST(TableCodePageTest, RefusesPairsWithoutTables)
{
    EXPECT_THROW(TableCodePage({1252, 866}), UnsupportedCodePage);
    EXPECT_THROW(TableCodePage({65001, 437}), UnsupportedCodePage);
}

} // namespace
} // namespace rawlet::codepage
