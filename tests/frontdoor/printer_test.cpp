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

// Prints `bytes` as one whole job on `target`.
void PrintJob(System& system, const std::string& target, const std::string& bytes)
{
    Printer printer(system, target);
    printer.Write(bytes);
    printer.Finish();
}

// Every byte value reaches a queue and a device given by URI unchanged, written in pieces.
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
        printer.Finish();
        EXPECT_EQ(printer.bytesSent(), 256u);
    }
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre(EveryByteValue()));
    EXPECT_EQ(device.ReceivedJob(1), EveryByteValue());
}

TEST(PrinterTest, ANameNoPrinterHasIsError32000)
{
    System system;
    try {
        Printer printer(system, "no-such-printer-" + TestName());
        FAIL() << "a printer was found";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 32000);
        EXPECT_EQ(error.source(), "Rawleter");
    }
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
