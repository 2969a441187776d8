#pragma once

// What a printer or a scheduler says is data: shown as it is, never obeyed. On a terminal its
// control characters cannot move the cursor, retitle the window or recolour the text, and in
// JSON any byte it sends keeps the document valid.

#include <string>
#include <string_view>

namespace rawlet::text {

// `text` for a terminal: control characters (C0, DEL and C1) and bytes that are not UTF-8 as
// \xHH, a backslash as \\ (so that no text passes for an escaped one), the rest as given.
std::string Shown(std::string_view text);

// `text` as a quoted JSON string: control characters as \u00XX, bytes that are not UTF-8 as
// U+FFFD, the replacement character.
std::string JsonString(std::string_view text);

// `text` for one line of a log: escaped as in JSON, but unquoted, its quotes left as they are,
// so that nothing a page or printer sends can forge a line of its own.
std::string OneLine(std::string_view text);

} // namespace rawlet::text
