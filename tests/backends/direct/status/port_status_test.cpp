// A printer port's status lines, decoded as the Linux printer drivers report them (no
// printer port is at hand, so the bits are given), and a device that is no printer port.
#include <fcntl.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "loopback_printer.h"
#include "posix_transports.h"
#include "status_sources.h"

namespace rawlet::direct {
namespace {

using State = platform::PrinterStatus::State;
using ::testing::ElementsAre;

constexpr int kNotError = 0x08;
constexpr int kSelected = 0x10;
constexpr int kPaperOut = 0x20;

TEST(PortStatus, AnOnlinePrinterWithoutErrorIsIdle)
{
    const StatusFacts facts = DecodePortStatus(kSelected | kNotError);
    EXPECT_EQ(facts.state, State::Idle);
    EXPECT_THAT(facts.reasons, ElementsAre());
}

TEST(PortStatus, PaperOutIsReportedAsSuchNotAsAnotherError)
{
    const StatusFacts facts = DecodePortStatus(kPaperOut);
    EXPECT_EQ(facts.state, State::Stopped);
    EXPECT_THAT(facts.reasons, ElementsAre("media-empty-error", "offline-report"));
}

TEST(PortStatus, APrinterNotSelectedIsOffline)
{
    const StatusFacts facts = DecodePortStatus(kNotError);
    EXPECT_EQ(facts.state, State::Stopped);
    EXPECT_THAT(facts.reasons, ElementsAre("offline-report"));
}

TEST(PortStatus, TheErrorLineIsActiveLow)
{
    const StatusFacts facts = DecodePortStatus(kSelected);
    EXPECT_EQ(facts.state, State::Stopped);
    EXPECT_THAT(facts.reasons, ElementsAre("other-error"));
}

TEST(PortStatus, ADeviceThatIsNoPrinterPortTellsNothing)
{
    const testing::TemporaryFolder folder;
    const std::string fifo = folder.path() + "/port";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const UniqueFd device(::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(device);
    EXPECT_FALSE(AskUsbPort(device.get()));
}

} // namespace
} // namespace rawlet::direct
