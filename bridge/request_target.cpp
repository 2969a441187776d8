#include "request_target.h"

#include <algorithm>
#include <cctype>

namespace rawlet::bridge {

namespace {

int HexValue(char c)
{
    if (!std::isxdigit(static_cast<unsigned char>(c)))
        return -1;
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
}

} // namespace

std::optional<std::string> Unescaped(std::string_view text, bool query)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (query && text[i] == '+') {
            plain += ' ';
        } else if (text[i] != '%') {
            plain += text[i];
        } else {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0 || (high == 0 && low == 0))
                return std::nullopt;
            plain += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return plain;
}

std::optional<RequestTarget> ParseTarget(std::string_view target)
{
    if (!target.starts_with('/'))
        return std::nullopt;
    const std::size_t mark = target.find('?');
    RequestTarget parsed{std::string(target.substr(0, mark)), {}};
    if (mark == std::string_view::npos)
        return parsed;
    std::string_view query = target.substr(mark + 1);
    while (!query.empty()) {
        const std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        const auto name = Unescaped(pair.substr(0, equals), true);
        const auto value = Unescaped(equals == std::string_view::npos ? "" : pair.substr(equals + 1), true);
        if (!name || !value || !parsed.query.emplace(*name, *value).second)
            return std::nullopt;
    }
    return parsed;
}

} // namespace rawlet::bridge
