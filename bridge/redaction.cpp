#include "redaction.h"

#include <regex>

namespace rawlet::bridge {

std::string WithoutDevices(const std::string& text)
{
    static const std::string uri = R"((?:[A-Za-z][A-Za-z0-9+.-]*://|file:|serial:)[^\s)]*)";
    static const std::regex named(R"( \()" + uri + R"(\))");
    static const std::regex bare(uri);
    return std::regex_replace(std::regex_replace(text, named, ""), bare, "the device");
}

} // namespace rawlet::bridge
