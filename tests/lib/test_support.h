#pragma once

// Small helpers that tests of every part share.

#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include <rawlet/error.h>

namespace rawlet::testing {

// The running test's name, to name the queues and devices it makes after it.
inline std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// Every byte value once, in order: any byte changed on the way shows.
inline std::string EveryByteValue()
{
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

// Number, source and description, for comparing an error in one assertion.
using ErrorFields = std::tuple<int, std::string, std::string>;

// The error `member` raised; nothing when it raised none.
inline std::optional<ErrorFields> ErrorFrom(const std::function<void()>& member)
{
    try {
        member();
    } catch (const Error& error) {
        return ErrorFields{error.number(), error.source(), error.description()};
    }
    return std::nullopt;
}

} // namespace rawlet::testing
