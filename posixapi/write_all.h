#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "interrupter.h"

namespace rawlet::posixapi {

// The two calls a write loop makes, apart from the loop, so that devices with odd answers
// (a driver without poll, which says ready and then takes nothing) can be tried.
struct WriteCalls {
    std::function<ssize_t(std::string_view bytes)> write;        // write(2)'s result and errno
    std::function<int(Clock::time_point deadline)> waitWritable; // WaitFor's result
    std::function<int(Clock::time_point until)> pause;           // Pause's result
};
WriteCalls DescriptorCalls(int fd, const Interrupter* interrupter);

// Writes every byte, failing only when the device takes no byte for `timeout` (a stall), is
// interrupted or fails. On failure returns false with the reason in `failure`.
bool WriteAll(const WriteCalls& calls, std::string_view bytes, std::chrono::seconds timeout,
              std::string& failure);
bool WriteAll(int fd, std::string_view bytes, std::chrono::seconds timeout, const Interrupter* interrupter,
              std::string& failure);

} // namespace rawlet::posixapi
