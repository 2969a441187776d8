// Opening and closing the queue, and the thread's shared printer handle.
#include <thread>

#include "control_fixture.h"

namespace rawlet::testing {
namespace {

using QueueTest = ControlTest;

TEST_F(QueueTest, PrinterCloseWhileClosedDoesNothing)
{
    control.PrinterClose();
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(QueueTest, OpeningStartsADocumentAndPageAndCloseEndsThemInOrder)
{
    SelectPrinter(control);
    control.SetPrinterDocumentName("Invoice 7");
    control.SetPrinterData("x");
    EXPECT_TRUE(IsPrinting(control));

    control.PrinterClose();
    EXPECT_THAT(fake.spooler.trace,
                ElementsAre("OpenPrinterA(Receipts) = 1", "StartDocPrinterA(1, \"Invoice 7\")",
                            "StartPagePrinter(1)", "WritePrinter(1, 1 bytes)", "EndPagePrinter(1)",
                            "EndDocPrinter(1)", "ClosePrinter(1)"));
    EXPECT_TRUE(IsClosed(control));
    EXPECT_EQ(SlotHandle(), 0u);
    ASSERT_EQ(fake.spooler.jobs.size(), 1u);
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
}

TEST_F(QueueTest, DocumentRecordNamesTheDocumentAtOpenAndLeavesTheRestAbsent)
{
    control.SetPrinterName("Receipts");
    control.SetPrinterDocumentName("First");
    control.SetPrinterData("a");
    control.SetPrinterDocumentName("Second"); // a started document keeps its name
    control.SetPrinterData("b");
    control.PrinterClose();
    control.SetPrinterData("c");

    ASSERT_EQ(fake.spooler.jobs.size(), 2u);
    EXPECT_EQ(fake.spooler.jobs[0].docInfo.docName, "First");
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "ab");
    EXPECT_EQ(fake.spooler.jobs[1].docInfo.docName, "Second");
    for (const auto& job : fake.spooler.jobs) {
        EXPECT_EQ(job.docInfo.outputFile, std::nullopt);
        EXPECT_EQ(job.docInfo.dataType, std::nullopt);
    }
}

TEST_F(QueueTest, FailedOpenChangesNothing)
{
    control.SetPrinterName("Receipts");
    control.SetPrinterDocumentName("Kept");
    const DocInfo before = StateOf(control).docInfo;

    EXPECT_EQ(ErrorWhenSpoolerFails("OpenPrinterA", [&] { control.SetPrinterData("x"); }),
              ErrorFields(32036, "Rawleter", "Error occur while open the printer queue"));
    EXPECT_TRUE(IsClosed(control));
    EXPECT_EQ(StateOf(control).docInfo.docName, before.docName);
    EXPECT_EQ(SlotHandle(), 0u);
}

// A handle left in the slot by EndDoc is closed when the next open replaces it.
TEST_F(QueueTest, ReplacedHandleIsClosedAtTheNextOpen)
{
    StartPrinting(control);
    control.EndDoc();
    EXPECT_TRUE(fake.spooler.IsOpen(1));

    control.SetPrinterData("next");
    EXPECT_THAT(fake.spooler.trace,
                ElementsAre("WritePrinter(1, 1 bytes)", "EndDocPrinter(1)", "OpenPrinterA(Receipts) = 2",
                            "ClosePrinter(1)", "StartDocPrinterA(2, \"\")", "StartPagePrinter(2)",
                            "WritePrinter(2, 4 bytes)"));
    EXPECT_FALSE(fake.spooler.IsOpen(1));
}

TEST_F(QueueTest, InstancesOnOneThreadShareTheHandleAndTheReplacedJobIsDelivered)
{
    ContainedRawlet second(fake.Services());
    StartPrinting(control, "Receipts");
    control.SetPrinterData("first's ");

    second.SetPrinterName("Zebra"); // closes the thread's printer: the first instance's job ends
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
    second.SetPrinterData("second's");
    // The first instance still believes it prints; its writes land on the thread's printer.
    control.SetPrinterData(" more");

    EXPECT_EQ(fake.spooler.jobs[0].bytes, "first's ");
    EXPECT_EQ(fake.spooler.jobs[1].printer, "Zebra");
    EXPECT_EQ(fake.spooler.jobs[1].bytes, "second's more");
}

TEST_F(QueueTest, SecondInstanceOpeningClosesTheReplacedHandle)
{
    ContainedRawlet second(fake.Services());
    StartPrinting(control, "Receipts");
    fake::FakePropertyBag bag;
    bag.values["PrinterName"] = std::string("Zebra");
    second.Load(bag);

    second.SetPrinterData("z");
    EXPECT_FALSE(fake.spooler.IsOpen(1));
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
    EXPECT_EQ(SlotHandle(), 2u);
}

TEST_F(QueueTest, ReleasingAnInstanceWithItsQueueOpenClosesIt)
{
    {
        Rawlet released(fake.Services());
        released.SetPrinterName("Receipts");
        released.SetPrinterData("pending");
    }
    ASSERT_EQ(fake.spooler.jobs.size(), 1u);
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
    EXPECT_FALSE(fake.spooler.IsOpen(1));
    EXPECT_EQ(SlotHandle(), 0u);
}

TEST_F(QueueTest, ReleasingAnInstanceLeavesAnotherInstancesHandleAlone)
{
    {
        Rawlet released(fake.Services());
        released.SetPrinterName("Receipts");
        released.SetPrinterData("a");
        fake::FakePropertyBag bag;
        bag.values["PrinterName"] = std::string("Zebra");
        control.Load(bag);
        control.SetPrinterData("b"); // the slot now holds this instance's handle
        fake.spooler.trace.clear();
    }
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_TRUE(fake.spooler.IsOpen(SlotHandle()));
}

TEST_F(QueueTest, EachThreadHasItsOwnSlot)
{
    StartPrinting(control);
    platform::PrinterHandle otherThreadsHandle = 99;
    std::thread([&] { otherThreadsHandle = SpoolerSlot::ForThisThread().handle; }).join();
    EXPECT_EQ(otherThreadsHandle, 0u);
    EXPECT_EQ(SlotHandle(), 1u);
}

} // namespace
} // namespace rawlet::testing
