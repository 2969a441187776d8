#include <gtest/gtest.h>

#include <printer_text.h>

namespace rawlet::text {
namespace {

// What a printer, a spooler or a page sent keeps an answer valid JSON, a log line one line and
// a terminal as it was.
TEST(PrinterText, EscapesControlsAndBytesThatAreNotUtf8)
{
    EXPECT_EQ(JsonString("caf\xC3\xA9 \"x\" \\"), "\"caf\xC3\xA9 \\\"x\\\" \\\\\"");
    EXPECT_EQ(JsonString("a\nb\x1B\x7F\xC2\x9B"), "\"a\\u000ab\\u001b\\u007f\\u009b\"");
    EXPECT_EQ(JsonString("\xE9t\xC3"), "\"\\ufffdt\\ufffd\"");
    // An overlong '/' and a surrogate: each byte is replaced.
    EXPECT_EQ(JsonString("\xC0\xAF\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(OneLine("forged\nrawlet serve: \"ok\" \\u000a"), "forged\\u000arawlet serve: \"ok\" \\\\u000a");
    EXPECT_EQ(Shown("\x1B]0;owned\x07 caf\xC3\xA9 \\"), "\\x1b]0;owned\\x07 caf\xC3\xA9 \\\\");
}

} // namespace
} // namespace rawlet::text
