// The control printing to direct printers through the library's platform, beside a queue of
// the private scheduler.
#include <filesystem>
#include <fstream>
#include <latch>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sandbox_queue.h"
#include <rawlet/cups/cups_platform.h>
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

using ::testing::ElementsAre;

constexpr codepage::CodePagePair kCodePages{1252, 437};

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// The AppSocket URI of a sandbox queue's capture device, to reach it without the scheduler.
std::string DeviceUri(const SandboxQueue& queue)
{
    std::ifstream port(std::filesystem::path(queue.JobFile(1)).parent_path() / "port");
    std::string number;
    port >> number;
    return "socket://127.0.0.1:" + number;
}

// A queue and a direct printer open at once, on two threads: the backends number their
// handles each from one, and no byte may reach the other's device.
TEST(DirectControlTest, AQueueAndADirectPrinterOpenAtOnceKeepTheirBytesApart)
{
    SandboxQueue queue(TestName() + "-queue");
    SandboxQueue device(TestName() + "-device");
    cups::CupsPlatform system(kCodePages);
    system.AddDirectPrinter("Front-Counter", DeviceUri(device));

    std::latch bothOpen(2);
    auto print = [&](const std::string& printer, const std::string& tag) {
        Rawlet control(system.Services());
        control.SetPrinterName(printer);
        control.SetPrinterData(tag + "-1 ");
        bothOpen.arrive_and_wait();
        control.SetPrinterData(tag + "-2");
        control.PrinterClose();
    };
    std::thread toQueue(print, queue.name(), "queue");
    std::thread toDevice(print, "front-counter", "direct"); // letter case is free, as for queues
    toQueue.join();
    toDevice.join();

    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("queue-1 queue-2"));
    EXPECT_EQ(device.ReceivedJob(1), "direct-1 direct-2");
}

// A document cut short is never stored as a job, and the printer takes the next one.
TEST(DirectControlTest, AnAbandonedDocumentDoesNotReachTheDeviceAsAJob)
{
    SandboxQueue device(TestName());
    cups::CupsPlatform system(kCodePages);
    system.AddDirectPrinter("Drawer", DeviceUri(device));
    {
        Rawlet control(system.Services());
        control.SetPrinterName("Drawer");
        control.SetPrinterData("half a receipt");
        system.Services().reports->AbandonDocuments();
        EXPECT_THROW(control.SetPrinterData("the other half"), Error);
    }
    Rawlet control(system.Services());
    control.SetPrinterName("Drawer");
    control.SetPrinterData("next receipt");
    control.PrinterClose();
    EXPECT_EQ(device.ReceivedJob(2), "next receipt");
    EXPECT_FALSE(std::filesystem::exists(device.JobFile(1)));
}

} // namespace
} // namespace rawlet::testing
