#pragma once

#include <chrono>
#include <string>

namespace rawlet::posixapi {

// "connection refused": the system's text for an errno value, as a reason in a sentence.
std::string Reason(int error);
// "timed out after 10 s".
std::string TimedOut(std::chrono::seconds timeout);

} // namespace rawlet::posixapi
