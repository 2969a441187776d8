// A queue's status from the spooler: Wine's for a real queue, and every status bit, which Wine
// never sets, through the seam.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_queue.h"

namespace rawlet::test {
namespace {

using platform::PrinterStatus;
using Reasons = std::vector<std::string>;

// The test queue as the spooler would tell of it with these bits.
std::optional<PrinterStatus> StatusWith(DWORD status, DWORD attributes = 0, DWORD jobs = 0)
{
    win32::WinspoolCalls calls;
    calls.queueFacts = [=](HANDLE) {
        return std::optional<win32::QueueFacts>({TestQueue(), status, attributes, jobs});
    };
    return win32::Win32Spooler(calls).StatusOf(TestQueue());
}

TEST(Win32QueueStatus, AQueueOfWinesSpoolerIsIdleAndReady)
{
    win32::Win32Spooler spooler;
    ASSERT_TRUE(spooler.CanTellStatus());
    const std::optional<PrinterStatus> status = spooler.StatusOf(TestQueue());
    ASSERT_TRUE(status);
    EXPECT_EQ(status->name, TestQueue());
    EXPECT_TRUE(status->answers);
    EXPECT_TRUE(status->ready);
    EXPECT_EQ(status->state, PrinterStatus::State::Idle);
    EXPECT_TRUE(status->acceptingJobs);
    EXPECT_EQ(status->reasons, Reasons{});
    EXPECT_EQ(status->queuedJobs, 0);
    EXPECT_EQ(status->sources, Reasons{"scheduler"});
}

TEST(Win32QueueStatus, NoSuchQueueHasNoStatus)
{
    EXPECT_FALSE(win32::Win32Spooler().StatusOf("no such queue"));
}

TEST(Win32QueueStatus, EachStatusBitGivesTheReasonAndStateOfTheLinuxQueues)
{
    struct Expected {
        DWORD bit;
        Reasons reasons;
        PrinterStatus::State state;
    };
    using enum PrinterStatus::State;
    const Expected table[] = {
        {PRINTER_STATUS_PAUSED, {"paused"}, Stopped},
        {PRINTER_STATUS_ERROR, {"other-error"}, Stopped},
        {PRINTER_STATUS_PAPER_JAM, {"media-jam-error"}, Stopped},
        {PRINTER_STATUS_PAPER_OUT, {"media-empty-error"}, Stopped},
        {PRINTER_STATUS_MANUAL_FEED, {"media-needed-report"}, Idle},
        {PRINTER_STATUS_PAPER_PROBLEM, {"media-needed-error"}, Stopped},
        {PRINTER_STATUS_OFFLINE, {"offline-report"}, Stopped},
        {PRINTER_STATUS_IO_ACTIVE, {}, Processing},
        {PRINTER_STATUS_BUSY, {}, Processing},
        {PRINTER_STATUS_PRINTING, {}, Processing},
        {PRINTER_STATUS_OUTPUT_BIN_FULL, {"output-area-full-error"}, Stopped},
        {PRINTER_STATUS_NOT_AVAILABLE, {"offline-report"}, Stopped},
        {PRINTER_STATUS_WAITING, {}, Idle},
        {PRINTER_STATUS_PROCESSING, {}, Processing},
        {PRINTER_STATUS_INITIALIZING, {"other-report"}, Processing},
        {PRINTER_STATUS_WARMING_UP, {"fuser-under-temp-report"}, Processing},
        {PRINTER_STATUS_TONER_LOW, {"toner-low-report"}, Idle},
        {PRINTER_STATUS_NO_TONER, {"toner-empty-error"}, Stopped},
        {PRINTER_STATUS_PAGE_PUNT, {"other-error"}, Stopped},
        {PRINTER_STATUS_USER_INTERVENTION, {"other-error"}, Stopped},
        {PRINTER_STATUS_OUT_OF_MEMORY, {"interpreter-resource-unavailable-error"}, Stopped},
        {PRINTER_STATUS_DOOR_OPEN, {"door-open-error"}, Stopped},
        {PRINTER_STATUS_SERVER_UNKNOWN, {"other-warning"}, Idle},
        {PRINTER_STATUS_POWER_SAVE, {}, Idle},
    };
    for (const Expected& expected : table) {
        const std::optional<PrinterStatus> status = StatusWith(expected.bit);
        ASSERT_TRUE(status) << std::hex << expected.bit;
        EXPECT_EQ(status->reasons, expected.reasons) << std::hex << expected.bit;
        EXPECT_EQ(status->state, expected.state) << std::hex << expected.bit;
        EXPECT_EQ(status->ready, expected.state != Stopped) << std::hex << expected.bit;
        EXPECT_FALSE(status->message.empty()) << std::hex << expected.bit;
    }
}

TEST(Win32QueueStatus, ConditionsTogetherAreAllToldOnce)
{
    const std::optional<PrinterStatus> status =
        StatusWith(PRINTER_STATUS_PRINTING | PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_OFFLINE, 0, 3);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->reasons, (Reasons{"media-empty-error", "offline-report"}));
    EXPECT_EQ(status->message, "out of paper, offline, printing");
    EXPECT_EQ(status->queuedJobs, 3);
    EXPECT_TRUE(status->acceptingJobs);
}

TEST(Win32QueueStatus, AQueueSetToWorkOfflineTakesJobsButPrintsNone)
{
    const std::optional<PrinterStatus> status = StatusWith(0, PRINTER_ATTRIBUTE_WORK_OFFLINE, 1);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->reasons, Reasons{"offline-report"});
    EXPECT_EQ(status->state, PrinterStatus::State::Stopped);
    EXPECT_TRUE(status->acceptingJobs);
    EXPECT_FALSE(status->ready);
}

TEST(Win32QueueStatus, AQueueBeingDeletedTakesNoJobs)
{
    const std::optional<PrinterStatus> status = StatusWith(PRINTER_STATUS_PENDING_DELETION);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->reasons, Reasons{"deactivated-report"});
    EXPECT_FALSE(status->acceptingJobs);
    EXPECT_FALSE(status->ready);
}

} // namespace
} // namespace rawlet::test
