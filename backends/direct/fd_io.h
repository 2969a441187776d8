#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace rawlet::direct {

// "connection refused": the system's text for an errno value, as a reason in a sentence.
std::string Reason(int error);
std::string TimedOut(std::chrono::seconds timeout);

// Writes every byte to a non-blocking descriptor, waiting at most `timeout` each time the
// device takes nothing. On failure returns false with the reason in `failure`.
bool WriteAll(int fd, std::string_view bytes, std::chrono::seconds timeout, std::string& failure);

// Waits until `fd` is ready for `events` (poll's), at most `timeout`. Returns 0 when ready,
// ETIMEDOUT or another errno value otherwise.
int WaitFor(int fd, short events, std::chrono::seconds timeout);

} // namespace rawlet::direct
