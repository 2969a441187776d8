// The control printing through a real CUPS scheduler into capturing raw devices.
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "posix_platform.h"
#include "sandbox_queue.h"
#include "test_support.h"
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// Code pages 1252 and 437, whatever the test machine's locale.
constexpr codepage::CodePagePair kCodePages{1252, 437};

class CupsControlTest : public ::testing::Test {
protected:
    SandboxQueue queue{TestName()};
    posix::PosixPlatform system{kCodePages};
    Rawlet control{system.Services()};

    void SetUp() override { control.SetPrinterName(queue.name()); }
};

TEST_F(CupsControlTest, EveryByteValueArrivesUnchanged)
{
    control.SetPrinterData(EveryByteValue());
    control.PrinterClose();
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre(EveryByteValue()));
}

TEST_F(CupsControlTest, TranslationTurnsAnsiIntoOemOnlyWhenOn)
{
    control.SetPrinterData("caf\xE9\r\n");
    control.PrinterClose();
    control.SetPrinterTranslate(true);
    control.SetPrinterData("caf\xE9\r\n");
    control.PrinterClose();
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("caf\xE9\r\n", "caf\x82\r\n"));
}

TEST_F(CupsControlTest, WritesJoinOneJobAndEndDocEndsItWithACarriageReturn)
{
    control.SetPrinterDocumentName("Receipt 42");
    control.SetPrinterData("first ");
    control.SetPrinterData("second");
    control.EndDoc();
    control.SetPrinterData("next job");
    control.PrinterClose();
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("first second\r", "next job"));
    EXPECT_THAT(queue.JobTitles(), ElementsAre("Receipt 42", "Receipt 42"));
}

TEST_F(CupsControlTest, KillDocumentEndsTheJobWithThePrinterReset)
{
    control.SetPrinterData("half a line");
    control.killDocument();
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("half a line\x1B@"));
}

TEST_F(CupsControlTest, NamesMatchWithoutRegardToCaseAndUnknownOnesAreRefused)
{
    std::string upper = queue.name();
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    control.SetPrinterName(upper);
    EXPECT_EQ(control.PrinterName(), queue.name());
    EXPECT_THAT(system.printers().DeviceNames(), Contains(queue.name()));

    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterName("No-Such-Queue"); }),
              ErrorFields(32000, "Rawleter", "The printer name is not valid"));
}

TEST_F(CupsControlTest, QueueThatRejectsJobsFailsTheWriteAndPrintsNothing)
{
    queue.Admin("cupsreject");
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("refused"); }),
              ErrorFields(32037, "Rawleter", "error occur while write data to the printer"));
    control.PrinterClose();
    queue.Admin("cupsaccept");
    EXPECT_TRUE(queue.ReceivedJobs().empty());
}

// Each thread has its own printer handle, so instances on two threads print side by side.
TEST_F(CupsControlTest, InstancesOnTwoThreadsPrintToTwoQueuesWithoutMixing)
{
    SandboxQueue other(TestName() + "-other");
    auto print = [](const std::string& printer, char letter, std::string& sent) {
        posix::PosixPlatform threadSystem{kCodePages};
        Rawlet instance(threadSystem.Services());
        instance.SetPrinterName(printer);
        for (int line = 0; line < 300; ++line) {
            const std::string text = std::string(60, letter) + std::to_string(line) + "\r\n";
            instance.SetPrinterData(text);
            sent += text;
        }
        instance.PrinterClose();
    };
    std::string sentA, sentB;
    std::thread a(print, queue.name(), 'A', std::ref(sentA));
    std::thread b(print, other.name(), 'B', std::ref(sentB));
    a.join();
    b.join();
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre(sentA));
    EXPECT_THAT(other.ReceivedJobs(), ElementsAre(sentB));
}

// What the control relies on: refusals without effect, and a close that delivers.
TEST_F(CupsControlTest, SpoolerRefusesWhatTheWindowsSpoolerRefuses)
{
    cups::CupsSpooler& spooler = system.spooler();
    platform::PrinterHandle handle = 0;
    std::uint32_t written = 0;
    ASSERT_TRUE(spooler.OpenPrinterA(queue.name(), handle));
    EXPECT_FALSE(spooler.WritePrinter(handle, "no document", written));
    EXPECT_FALSE(spooler.EndDocPrinter(handle));
    ASSERT_NE(spooler.StartDocPrinterA(handle, DocInfo{"doc", std::nullopt, std::nullopt}), 0u);
    EXPECT_EQ(spooler.StartDocPrinterA(handle, DocInfo{"second", std::nullopt, std::nullopt}), 0u);
    EXPECT_TRUE(spooler.WritePrinter(handle, "kept", written));
    EXPECT_EQ(written, 4u);
    EXPECT_TRUE(spooler.ClosePrinter(handle)); // delivers the open document
    EXPECT_FALSE(spooler.WritePrinter(handle, "closed", written));
    EXPECT_FALSE(spooler.ClosePrinter(handle));
    EXPECT_FALSE(spooler.WritePrinter(0, "null", written));
    EXPECT_FALSE(spooler.OpenPrinterA("No-Such-Queue", handle));
    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("kept"));
}

} // namespace
} // namespace rawlet::testing
