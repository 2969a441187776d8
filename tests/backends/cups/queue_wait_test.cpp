// Waiting for a queue's job to print, broken off from another thread: the job is cancelled
// and the wait ends at once, even when the break comes before the wait has begun.
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cups/cups.h>

#include "posix_platform.h"
#include "sandbox_queue.h"
#include "test_support.h"
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

constexpr codepage::CodePagePair kCodePages{1252, 437};

// The states of the queue's unfinished jobs, oldest first.
std::vector<int> OpenJobStates(const std::string& queue)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    std::vector<int> states;
    for (int i = count - 1; i >= 0; --i)
        states.push_back(jobs[i].state);
    cupsFreeJobs(count, jobs);
    return states;
}

class QueueWaitTest : public ::testing::Test {
protected:
    SandboxQueue queue{TestName()};
    posix::PosixPlatform system{kCodePages};
    platform::SpoolerReports& reports = *system.Services().reports;

    void TearDown() override
    {
        queue.Admin("cancel -a");
        queue.SetDeviceMode("normal");
    }

    // A job that the stalled device keeps processing, larger than the sockets hold, printed
    // by another program.
    void PrintJobInFront()
    {
        queue.SetDeviceMode("stall");
        posix::PosixPlatform other{kCodePages};
        Print(other, std::string(8 << 20, 'x'));
        for (int look = 0;
             look < 100 && OpenJobStates(queue.name()) != std::vector{int{IPP_JSTATE_PROCESSING}}; ++look)
            std::this_thread::sleep_for(50ms);
        ASSERT_EQ(OpenJobStates(queue.name()), std::vector{int{IPP_JSTATE_PROCESSING}});
    }

    void Print(posix::PosixPlatform& platform, const std::string& data)
    {
        Rawlet control{platform.Services()};
        control.SetPrinterName(queue.name());
        control.SetPrinterData(data);
        control.PrinterClose();
    }
};

TEST_F(QueueWaitTest, AbandonedBeforeTheWaitBeginsTheWaitingJobIsCancelled)
{
    PrintJobInFront();
    reports.SetPrintingWait({true, 0ms});
    Print(system, "receipt\r\n");
    ASSERT_EQ(OpenJobStates(queue.name()).size(), 2u);

    reports.AbandonDocuments();
    auto outcomes = std::async(std::launch::async, [this] { return reports.JobOutcomes(); });
    if (outcomes.wait_for(5s) != std::future_status::ready) {
        queue.Admin("cancel -a"); // ends the wait, so that the test can end
        FAIL() << "the wait went on after the documents were abandoned";
    }
    const std::vector<platform::DocumentOutcome> ended = outcomes.get();
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].outcome, Outcome::notPrinted);
    EXPECT_THAT(ended[0].reason,
                HasSubstr("did not print: interrupted; it was cancelled and will not print"));
    EXPECT_EQ(OpenJobStates(queue.name()), std::vector{int{IPP_JSTATE_PROCESSING}})
        << "only the job in front is left";
}

} // namespace
} // namespace rawlet::testing
