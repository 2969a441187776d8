#pragma once

#include <string>
#include <string_view>

namespace rawlet::bridge {

// `text` as a quoted JSON string: control characters as \u00XX, bytes that are not UTF-8 as
// U+FFFD, so that whatever a printer, a spooler or a page sent keeps the answer valid (and
// a log line one line).
std::string JsonString(std::string_view text);

// `text` for a log line, escaped as JSON escapes it but unquoted, quotes left as they are.
std::string OneLine(std::string_view text);

} // namespace rawlet::bridge
