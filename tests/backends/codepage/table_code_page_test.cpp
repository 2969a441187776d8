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

// One ANSI byte and where its character sits in the OEM page, read off the two pages' charts.
struct KnownCharacter {
    CodePagePair pair;
    unsigned char ansi;
    unsigned char oem;
};

TEST(TableCodePageTest, TranslatesNationalCharactersToTheirOemPositions)
{
    const KnownCharacter known[] = {
        {{1252, 437}, 0xE9, 0x82}, // é
        {{1252, 437}, 0xC4, 0x8E}, // Ä
        {{1252, 437}, 0xDF, 0xE1}, // ß
        {{1252, 850}, 0xE9, 0x82}, // é
        {{1252, 850}, 0xD8, 0x9D}, // Ø, which 437 lacks
        {{1252, 850}, 0xC0, 0xB7}, // À
        {{1250, 852}, 0xB3, 0x88}, // ł
        {{1250, 852}, 0xAF, 0xBD}, // Ż
        {{1250, 852}, 0xE8, 0x9F}, // č
        {{1251, 866}, 0xC6, 0x86}, // Ж
        {{1251, 866}, 0xFF, 0xEF}, // я
        {{1251, 866}, 0xA8, 0xF0}, // Ё
        {{1253, 737}, 0xD9, 0x97}, // Ω
        {{1253, 737}, 0xE1, 0x98}, // α
        {{1254, 857}, 0xFE, 0x9F}, // ş
        {{1254, 857}, 0xDD, 0x98}, // İ
        {{1254, 857}, 0xF0, 0xA7}, // ğ
    };
    for (const KnownCharacter& character : known) {
        const TableCodePage codePage(character.pair);
        EXPECT_EQ(ToOem(codePage, std::string(1, static_cast<char>(character.ansi))),
                  std::string(1, static_cast<char>(character.oem)))
            << character.pair.ansi << "/" << character.pair.oem << " byte " << int{character.ansi};
    }
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
