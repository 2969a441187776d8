#include <gtest/gtest.h>

#include <json_text.h>

namespace rawlet::bridge {
namespace {

// What a printer, a spooler or a page sent keeps an answer valid JSON and a log line one line.
TEST(JsonText, EscapesControlsAndReplacesBytesThatAreNotUtf8)
{
    EXPECT_EQ(JsonString("caf\xC3\xA9 \"x\" \\"), "\"caf\xC3\xA9 \\\"x\\\" \\\\\"");
    EXPECT_EQ(JsonString("a\nb\x1B\x7F"), "\"a\\u000ab\\u001b\\u007f\"");
    EXPECT_EQ(JsonString("\xE9t\xC3"), "\"\xEF\xBF\xBDt\xEF\xBF\xBD\"");
    const std::string replacement = "\xEF\xBF\xBD";
    // An overlong '/' and a surrogate: each byte is replaced.
    EXPECT_EQ(JsonString("\xC0\xAF\xED\xA0\x80"),
              "\"" + replacement + replacement + replacement + replacement + replacement + "\"");
    EXPECT_EQ(OneLine("forged\nrawlet serve: \"ok\" \\u000a"), "forged\\u000arawlet serve: \"ok\" \\\\u000a");
}

} // namespace
} // namespace rawlet::bridge
