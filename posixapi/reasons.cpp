#include "reasons.h"

#include <cctype>
#include <cstring>

namespace rawlet::posixapi {

std::string Reason(int error)
{
    std::string text = std::strerror(error);
    if (!text.empty())
        text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    return text;
}

std::string TimedOut(std::chrono::seconds timeout)
{
    return "timed out after " + std::to_string(timeout.count()) + " s";
}

} // namespace rawlet::posixapi
