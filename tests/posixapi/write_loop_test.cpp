// The write loop of the direct devices, against a device whose answers no real one here
// gives: a printer port whose driver has no poll says it is ready and then takes nothing.
#include <cerrno>

#include <gtest/gtest.h>

#include "write_all.h"

namespace rawlet::posixapi {
namespace {

TEST(WriteLoop, ADeviceThatSaysReadyAndTakesNothingStallsWithoutSpinning)
{
    int attempts = 0;
    const WriteCalls busyPort{
        [&](std::string_view) -> ssize_t {
            ++attempts;
            errno = EAGAIN;
            return -1;
        },
        [](Clock::time_point) { return 0; },
        [](Clock::time_point until) { return Pause(until, nullptr); },
    };
    std::string failure;
    const auto started = Clock::now();
    EXPECT_FALSE(WriteAll(busyPort, "receipt", std::chrono::seconds(1), failure));
    EXPECT_EQ(failure, "timed out after 1 s with the printer taking no data");
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(3));
    EXPECT_LT(attempts, 100) << "asked again at full speed";
}

} // namespace
} // namespace rawlet::posixapi
