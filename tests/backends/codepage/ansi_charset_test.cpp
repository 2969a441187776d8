#include <gtest/gtest.h>

#include <string>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/codepage/utf8_to_ansi_stream.h>

namespace rawlet::codepage {
namespace {

TEST(AnsiCharsetTest, ConvertsUtf8ToEachPage)
{
    EXPECT_EQ(AnsiCharset(1252).Utf8ToAnsi("Gr\u00FC\u00DF Gott, \u20AC 5"), "Gr\xFC\xDF Gott, \x80 5");
    EXPECT_EQ(AnsiCharset(1250).Utf8ToAnsi("Gda\u0144sk, \u017Bory"), "Gda\xF1sk, \xAFory");
    EXPECT_EQ(AnsiCharset(1251).Utf8ToAnsi("\u041F\u0440\u0438\u0432\u0435\u0442"),
              "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(AnsiCharset(1253).Utf8ToAnsi("\u03A9\u03C9"), "\xD9\xF9");
    EXPECT_EQ(AnsiCharset(1254).Utf8ToAnsi("\u0130\u0131"), "\xDD\xFD");
}

TEST(AnsiCharsetTest, ReplacesCharactersThePageLacks)
{
    // Without a "best fit": a Polish ł is not an l on a Western page.
    EXPECT_EQ(AnsiCharset(1252).Utf8ToAnsi("\u0142, \u4E2D, \U0001F600!"), "?, ?, ?!");
    EXPECT_EQ(AnsiCharset(1251).Utf8ToAnsi("caf\u00E9"), "caf?");
}

TEST(AnsiCharsetTest, ReplacesIllFormedUtf8WithoutLosingGoodCharacters)
{
    const AnsiCharset charset(1252);
    EXPECT_EQ(charset.Utf8ToAnsi("a\x80z"), "a?z");                     // stray continuation byte
    EXPECT_EQ(charset.Utf8ToAnsi("\xC0\xAF"), "??");                    // overlong '/'
    EXPECT_EQ(charset.Utf8ToAnsi("\xE0\x80\xAF"), "???");               // overlong '/', three bytes
    EXPECT_EQ(charset.Utf8ToAnsi("\xED\xA0\x80"), "???");               // surrogate half
    EXPECT_EQ(charset.Utf8ToAnsi("\xF4\x90\x80\x80"), "????");          // past U+10FFFF
    EXPECT_EQ(charset.Utf8ToAnsi("\xE2\x82\xC3\xA9"), "?\xE9");         // cut-off euro, then é
    EXPECT_EQ(charset.Utf8ToAnsi("ends in \xF0\x9F\x98"), "ends in ?"); // cut off by the end
}

TEST(AnsiCharsetTest, EveryByteOfEveryPageSurvivesUtf8)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    for (const int codePage : {1250, 1251, 1252, 1253, 1254}) {
        const AnsiCharset charset(codePage);
        EXPECT_EQ(charset.Utf8ToAnsi(charset.AnsiToUtf8(all)), all) << codePage;
    }
    EXPECT_EQ(AnsiCharset(1252).AnsiToUtf8("\xE9\x80"), "\u00E9\u20AC");
    EXPECT_EQ(AnsiCharset(1251).AnsiToUtf8("\xC6"), "\u0416");
}

TEST(AnsiCharsetTest, StreamGivesTheSameWhereverTheTextIsCut)
{
    const AnsiCharset charset(1252);
    const std::string utf8 = "\u00E9\u20AC x\xFFy\u00FC";
    const std::string whole = charset.Utf8ToAnsi(utf8);
    for (std::size_t cut = 0; cut <= utf8.size(); ++cut) {
        Utf8ToAnsiStream stream(charset);
        std::string ansi = stream.Convert(utf8.substr(0, cut));
        ansi += stream.Convert(utf8.substr(cut));
        ansi += stream.Finish();
        EXPECT_EQ(ansi, whole) << "cut at " << cut;
    }
}

TEST(AnsiCharsetTest, StreamReplacesACharacterLeftCutOffAtTheEnd)
{
    const AnsiCharset charset(1252);
    Utf8ToAnsiStream stream(charset);
    EXPECT_EQ(stream.Convert("ok\xC3"), "ok");
    EXPECT_EQ(stream.Finish(), "?");
    EXPECT_EQ(stream.Convert("\xA9"), "?"); // a new text: the held byte is gone
}

TEST(AnsiCharsetTest, RefusesPagesWithoutTables) { EXPECT_THROW(AnsiCharset(437), UnsupportedCodePage); }

} // namespace
} // namespace rawlet::codepage
