#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rawlet::bridge {

// A request's target split into its path, still escaped, and its query, unescaped.
struct RequestTarget {
    std::string path;
    std::map<std::string, std::string> query;
};

// Nothing when the target is no absolute path, its query is badly escaped, or it names a
// parameter twice.
std::optional<RequestTarget> ParseTarget(std::string_view target);

// %XX escapes undone (and '+' as a blank, in a query); nothing for a bad escape or an
// escaped NUL.
std::optional<std::string> Unescaped(std::string_view text, bool query = false);

} // namespace rawlet::bridge
