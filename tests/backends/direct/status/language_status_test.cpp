// The status queries in the printers' own languages, against loopback AppSocket printers
// that answer them as receipt and label printers do, or never.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "loopback_printer.h"
#include "posix_transports.h"
#include "status_sources.h"

namespace rawlet::direct {
namespace {

using State = platform::PrinterStatus::State;
using ::testing::ElementsAre;
using testing::LoopbackPrinter;
using ::testing::UnorderedElementsAre;

constexpr auto kDeadline = std::chrono::seconds(5);
// What a query may take beyond its deadline: one wake-up, never another query's wait.
constexpr auto kLeeway = std::chrono::milliseconds(300);

std::optional<StatusFacts> AskEscPosPrinter(const std::string& mode,
                                            std::chrono::milliseconds within = kDeadline)
{
    const LoopbackPrinter printer("escpos", mode);
    const UniqueFd connection = printer.Connect();
    const auto started = Clock::now();
    DescriptorChannel channel(connection.get());
    auto facts = AskEscPos(channel, started + within);
    EXPECT_LT(Clock::now() - started, within + kLeeway);
    return facts;
}

TEST(EscPosStatus, APrinterWithNothingWrongIsIdle)
{
    const auto facts = AskEscPosPrinter("fine");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->state, State::Idle);
    EXPECT_THAT(facts->reasons, ElementsAre());
}

TEST(EscPosStatus, PaperEndStopsThePrinter)
{
    const auto facts = AskEscPosPrinter("paper-end");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->state, State::Stopped);
    // Told by two queries, reported once.
    EXPECT_THAT(facts->reasons,
                UnorderedElementsAre("offline-report", "media-empty-error", "media-low-report"));
}

TEST(EscPosStatus, AnOpenCoverIsADoorOpenAndNotPaperOut)
{
    const auto facts = AskEscPosPrinter("cover-open");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->state, State::Stopped);
    EXPECT_THAT(facts->reasons, UnorderedElementsAre("offline-report", "door-open-error"));
}

TEST(EscPosStatus, AnswersThatAreNoStatusLeaveTheFactsUnknown) { EXPECT_FALSE(AskEscPosPrinter("garbage")); }

TEST(EscPosStatus, ASilentPrinterLeavesTheFactsUnknownByTheDeadline)
{
    EXPECT_FALSE(AskEscPosPrinter("silent", std::chrono::milliseconds(500)));
}

TEST(ZplStatus, AnAnswerInPiecesTellsPaperOutAndTheHeadUp)
{
    const LoopbackPrinter printer("zpl", "paper-out-head-open");
    const UniqueFd connection = printer.Connect();
    DescriptorChannel channel(connection.get());
    const auto facts = AskZpl(channel, Clock::now() + kDeadline);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->state, State::Stopped);
    EXPECT_THAT(facts->reasons, ElementsAre("media-empty-error", "door-open-error"));
}

TEST(ZplStatus, AnEscPosPrinterGivesNoAnswerToTheLabelQuery)
{
    const LoopbackPrinter printer("escpos", "fine");
    const UniqueFd connection = printer.Connect();
    const auto started = Clock::now();
    DescriptorChannel channel(connection.get());
    EXPECT_FALSE(AskZpl(channel, started + std::chrono::milliseconds(500)));
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(500) + kLeeway);
}

} // namespace
} // namespace rawlet::direct
