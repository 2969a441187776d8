// A printer that refuses connections, drops one mid-job or stalls, and a queue that is
// disabled: what the application sees, and that the scheduler never reports such a job
// completed while its device lacks the bytes. The spooler takes a job before the printer
// sees it, so the writes succeed at the call and the failure shows in the job's outcome,
// as `rawlet print --wait` reports it.
//
// The jobs are larger than the sockets' buffers. A job that fits in them is written whole
// before the device closes the connection, and the scheduler's socket backend then reports
// it completed although the device read nothing: that is the backend's limit, out of the
// control's sight.
#include <chrono>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cups/cups.h>

#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "job_bytes.h"
#include "posix_platform.h"
#include "queue_job_follow.h"
#include "sandbox_queue.h"
#include "test_support.h"
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::size_t kLargeJob = 8 << 20;

// The scheduler's state of `job` now; 0 when it does not know the job.
int StateOf(const cups::CreatedJob& job)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, job.printer.c_str(), 0, CUPS_WHICHJOBS_ALL);
    int state = 0;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id == job.id)
            state = jobs[i].state;
    cupsFreeJobs(count, jobs);
    return state;
}

class DeviceFaultTest : public ::testing::Test {
protected:
    SandboxQueue queue{TestName()};
    posix::PosixPlatform application{{1252, 437}};
    Rawlet control{application.Services()};
    const std::string bytes = RandomBytes(42, kLargeJob);

    void SetUp() override { control.SetPrinterName(queue.name()); }

    // Prints `data` as one job; every call returns without error: the spooler took it.
    cups::CreatedJob PrintAccepted(const std::string& data)
    {
        control.SetPrinterData(data);
        control.PrinterClose();
        const cups::CreatedJob job = application.spooler().CreatedJobs().back();
        EXPECT_TRUE(job.accepted);
        return job;
    }

    // Prints the large job and follows it: the scheduler must end it unfinished, saying `reason`.
    void ExpectLargeJobNotCompleted(const std::string& reason)
    {
        const ipp::JobEnd outcome = cups::FollowJob(PrintAccepted(bytes));
        EXPECT_NE(outcome.outcome, Outcome::printed);
        EXPECT_THAT(outcome.reason, HasSubstr(reason));
    }
};

TEST_F(DeviceFaultTest, RefusedConnectionAbortsTheJobAndTheNextJobPrints)
{
    queue.SetDeviceMode("refuse");
    ExpectLargeJobNotCompleted("job aborted");

    // The device numbers connections, so the refused one leaves a gap: job-2.bin follows.
    queue.SetDeviceMode("normal");
    EXPECT_EQ(cups::FollowJob(PrintAccepted("after the fault")).outcome, Outcome::printed);
    EXPECT_EQ(queue.ReceivedJob(2), "after the fault");
    EXPECT_FALSE(std::filesystem::exists(queue.JobFile(1)));
}

TEST_F(DeviceFaultTest, ConnectionDroppedMidJobAbortsTheJob)
{
    queue.SetDeviceMode("drop:100000");
    ExpectLargeJobNotCompleted("job aborted");
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre(bytes.substr(0, 100000)));
}

TEST_F(DeviceFaultTest, StalledDeviceLeavesTheJobUnfinished)
{
    queue.SetDeviceMode("stall");
    const cups::CreatedJob job = PrintAccepted(bytes);
    for (int poll = 0; poll < 30; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_NE(StateOf(job), IPP_JSTATE_COMPLETED) << "a job the device never read was completed";
    }
    EXPECT_EQ(StateOf(job), IPP_JSTATE_PROCESSING);
    queue.Admin("cancel -a");
    queue.SetDeviceMode("normal");
    EXPECT_THAT(queue.ReceivedJobs(), IsEmpty());
}

// The scheduler would hold the job until the queue is enabled, and print it then, after the
// follower said it did not print: the follower cancels it.
TEST_F(DeviceFaultTest, DisabledQueueJobIsCancelledAndNeverPrints)
{
    queue.Admin("cupsdisable");
    ExpectLargeJobNotCompleted("printer stopped: Paused; it was cancelled and will not print");

    queue.Admin("cupsenable");
    EXPECT_THAT(queue.ReceivedJobs(), IsEmpty());
}

} // namespace
} // namespace rawlet::testing
