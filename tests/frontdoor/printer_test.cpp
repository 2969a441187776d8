// The front door against the private scheduler and its capture devices: what a program that
// only prints learns about its job.
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sandbox_queue.h"
#include "test_support.h"
#include <rawlet/printer.h>
#include <rawlet/system.h>

namespace rawlet::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

// Prints `bytes` as one whole job on `target`.
void PrintJob(System& system, const std::string& target, const std::string& bytes)
{
    Printer printer(system, target);
    printer.Write(bytes);
    printer.Finish();
}

// Every byte value reaches a queue and a device given by URI unchanged, written in pieces;
// the result names the queue's job, or the device.
TEST(PrinterTest, AJobReachesAQueueAndADeviceByteForByte)
{
    SandboxQueue queue(TestName() + "-queue");
    SandboxQueue device(TestName() + "-device");
    System system;
    JobOptions options;
    options.title = "every byte";
    for (const std::string& target : {queue.name(), device.DeviceUri()}) {
        Printer printer(system, target, options);
        printer.Write(EveryByteValue().substr(0, 100));
        printer.Write(EveryByteValue().substr(100));
        const JobResult result = printer.Finish();
        EXPECT_EQ(printer.bytesSent(), 256u);
        EXPECT_EQ(result.outcome, Outcome::delivered);
        EXPECT_EQ(result.bytes, 256u);
        EXPECT_THAT(result.job, MatchesRegex(target == queue.name() ? target + "-[0-9]+" : target));
        EXPECT_EQ(printer.Finish().job, result.job) << "a second Finish gives the first one's result";
    }
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre(EveryByteValue()));
    EXPECT_EQ(device.ReceivedJob(1), EveryByteValue());
}

TEST(PrinterTest, ANameNoPrinterHasIsError32000AndNotPrinted)
{
    System system;
    try {
        Printer printer(system, "no-such-printer-" + TestName());
        FAIL() << "a printer was found";
    } catch (const NotPrinted& error) {
        EXPECT_EQ(error.number(), 32000);
        EXPECT_EQ(error.source(), "Rawleter");
        EXPECT_NE(dynamic_cast<const PrinterNotFound*>(&error), nullptr);
    }
}

// A printer that hung up after taking part of the job may print that part: the program is
// told it cannot know, and which printer to look at, never that nothing printed.
TEST(PrinterTest, APrinterThatHungUpMidJobLeavesTheOutcomeUnknown)
{
    SandboxQueue device(TestName());
    device.SetDeviceMode("drop:1000");
    System system;
    Printer printer(system, device.DeviceUri());
    try {
        printer.Write(std::string(8 << 20, 'x'));
        printer.Finish();
        FAIL() << "reported delivered";
    } catch (const OutcomeUnknown& error) {
        EXPECT_EQ(error.number(), 32037);
        EXPECT_EQ(error.job(), device.DeviceUri());
        EXPECT_NE(dynamic_cast<const WriteFailed*>(&error), nullptr);
        EXPECT_THAT(error.what(), HasSubstr(error.reason()));
    }
}

// A job cancelled after the printer took part of it may print that part, whether the cancel
// came before Finish or during it.
TEST(PrinterTest, ACancelledJobThePrinterHadPartOfMayPrint)
{
    SandboxQueue device(TestName());
    device.SetDeviceMode("hold");
    System system;
    Printer printer(system, device.DeviceUri());
    printer.Write(std::string(64 * 1024, 'x'));
    printer.Cancel();
    EXPECT_THROW(printer.Finish(), OutcomeUnknown);
}

// A write after the cancel fails without reaching the printer, and still says the printer
// had part of the job.
TEST(PrinterTest, AWriteAfterTheCancelSaysThePrinterHadPartOfTheJob)
{
    SandboxQueue device(TestName());
    device.SetDeviceMode("hold");
    System system;
    Printer printer(system, device.DeviceUri());
    printer.Write(std::string(64 * 1024, 'x'));
    printer.Cancel();
    EXPECT_THROW(printer.Write("more"), OutcomeUnknown);
}

// A printer that hangs up without reading has not taken the job, and the program learns it
// from Finish, with the reason.
TEST(PrinterTest, AJobThePrinterDidNotTakeFailsFinishWithTheReason)
{
    SandboxQueue device(TestName());
    device.SetDeviceMode("refuse");
    System system;
    Printer printer(system, device.DeviceUri());
    try {
        printer.Write(std::string(64 * 1024, 'x'));
        printer.Finish();
        FAIL() << "reported delivered";
    } catch (const Error& error) {
        EXPECT_THAT(error.number(), ::testing::AnyOf(32034, 32037));
        EXPECT_THAT(error.reason(), HasSubstr(device.DeviceUri()));
    }
}

// A job left unfinished (a program that fails half way) is cancelled: nothing prints.
TEST(PrinterTest, AnUnfinishedJobIsCancelledNotPrintedCutShort)
{
    SandboxQueue queue(TestName());
    System system;
    {
        Printer printer(system, queue.name());
        printer.Write("half a receipt");
    }
    PrintJob(system, queue.name(), "next receipt");
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("next receipt"));
}

// Unlike the control's instances, which share their thread's printer handle, printers on
// one thread keep their jobs apart.
TEST(PrinterTest, TwoPrintersOnOneThreadKeepTheirJobsApart)
{
    SandboxQueue first(TestName() + "-1");
    SandboxQueue second(TestName() + "-2");
    System system;
    Printer outer(system, first.name());
    outer.Write("outer-1 ");
    PrintJob(system, second.name(), "inner");
    outer.Write("outer-2");
    outer.Finish();
    EXPECT_THAT(first.ReceivedJobs(), ElementsAre("outer-1 outer-2"));
    EXPECT_THAT(second.ReceivedJobs(), ElementsAre("inner"));
}

} // namespace
} // namespace rawlet::testing
